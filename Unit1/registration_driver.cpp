// Registration on the window's connection: the identity's lines on connect, the
// tags taken off received lines once a CAP REQ has gone out, and what the
// registration asks after each line (SASL's answers, CAP END, the welcomed
// nickname, the login's outcome in the log pane, a word when the password
// crosses in clear text). Also File > Identity….
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <algorithm>
#include <utility>

#include "Unit1/clear_text_password.h"
#include "Unit1/identity_dialog.h"
#include "Unit1/unit1.h"
#include "irc/message_tags.h"
#include "platform/winsys/guarded_call.h"
#include "sockets/address_text.h"
#include "sockets/invalid_cast.h"
#include "transport/buffered_socket.h"
#include "transport/text_client.h"

namespace unit1 {

namespace {

// Sizes the reads for plain lines, or for tagged ones. The bytes already in the
// buffer stay: it never shrinks below them. Tags make a line about half again as
// long (server-time and msgid alone add some 60 bytes) and cost next to nothing
// once cut, so a turn's budget grows by half: a turn still reads about as many
// lines, and its repaint is shared by as many.
void SizeReads(transport::TTextClient& client, bool tagged) {
  if (client.Socket() == nullptr) return;
  auto& socket = sockets::CheckedCast<transport::TBufferedSocketBase>(*client.Socket());
  const auto size = std::uint32_t(tagged ? irc::kMaxTaggedLine : client.ReadBufferSize());
  socket.SetReadBufferSize(std::max(size, std::uint32_t(socket.ReadCount())));
  socket.SetReadBudget(tagged ? transport::kReadBudgetBytes / 2 * 3 : transport::kReadBudgetBytes);
}

}  // namespace

void TForm1::CreateIdentityMenu() {
  Identity1 = new QAction("&Identity…", this);
  File1->insertAction(Exit1, Identity1);
  File1->insertSeparator(Exit1);
  winsys::ConnectGuarded(Identity1, &QAction::triggered, this, &TForm1::Identity1Click);
}

void TForm1::Identity1Click() {
  TIdentityDialog dialog(Identity, this);
  if (dialog.exec() == QDialog::Accepted) Identity = dialog.Identity();
}

// The engine takes the identity's nickname until the server's welcome names
// another; the reads are sized for plain lines until a CAP REQ goes out.
void TForm1::StartRegistration() {
  IRC.SetNickName(Identity.NickName);
  IRC.SetUserName(Identity.UserName);
  IRC.SetPassword(Identity.Password);
  SizeReads(*IRCClient, false);
  for (const std::string& line : registration_.Start(Identity.Login())) {
    if (!SendLine(line)) break;
  }
}

// The line without its tags goes into a buffer kept from line to line; a line
// handed in while the engine still reads the one before (from a handler) gets
// a buffer of its own. After an exception from a handler every line gets its
// own: slower, never wrong.
void TForm1::ReceiveLine(const std::string& line) {
  if (registration_.CapRequested() && line.starts_with('@')) {
    const bool nested = std::exchange(untagged_in_use_, true);
    std::string own_buffer;
    std::string& untagged = nested ? own_buffer : untagged_line_;
    untagged.assign(irc::WithoutTags(line));
    ForwardLine(untagged);
    FollowRegistration(untagged);
    untagged_in_use_ = nested;
    return;
  }
  ForwardLine(line);
  FollowRegistration(line);
}

// After the engine: the log pane shows the server's reply before what the
// client makes of it.
void TForm1::FollowRegistration(std::string_view line) {
  const irc::TRegistrationStep step = registration_.LineReceived(line);
  if (!step.WelcomedNick.empty()) IRC.SetNickName(step.WelcomedNick);
  if (!step.LogLine.empty()) AddLogLine(step.LogLine);
  // Registration asks for the credentials once a connection.
  if (IRCClient->Socket() != nullptr &&
      PasswordCrossesInClear(line, step.Lines, cbTls->isChecked(),
                             sockets::AddressText(IRCClient->Socket()->SockAddress()))) {
    AddLogLine(kClearTextPassword);
  }
  for (const std::string& answer : step.Lines) {
    if (!SendLine(answer)) break;
  }
  if (!step.WelcomedNick.empty()) CommandLineRegistered();
}

// Once a CAP REQ is out, the server may tag its lines: 8191 bytes of tags in
// front of the 512 of a plain line fit the buffer, and only a longer line is
// dropped as over-long; a turn reads more bytes.
void TForm1::RegistrationLineSent(std::string_view line) {
  if (registration_.CapRequested()) return;
  registration_.LineSent(line);
  if (registration_.CapRequested()) SizeReads(*IRCClient, true);
}

}  // namespace unit1
