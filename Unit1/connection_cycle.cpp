// The connect and cancel cycle, registration, joining and parting, the two
// entry lines, and the plumbing between the window and its two components.
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

#include "Unit1/protocol_line.h"
#include "Unit1/raw_log_pane.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"
#include "platform/winsys/winsys.h"
#include "sockets/exceptions.h"
#include "sockets/invalid_cast.h"
#include "transport/line_socket.h"
#include "transport/text_client.h"

namespace unit1 {

namespace {

constexpr const char* kConnectCaption = "&Connect";
constexpr const char* kCancelCaption = "&Cancel";

std::string TextOf(const QLineEdit* edit) {
  return toolkit::TypedText(edit->text());
}

std::string_view WithoutLineEnd(std::string_view line) {
  if (line.ends_with("\r\n")) line.remove_suffix(2);
  return line;
}

}  // namespace

void TForm1::FormCreate() {
  ircServer->setText(toolkit::DisplayText(IRCClient->Address()));
  ircPort->setText(toolkit::DisplayText(IRCClient->Port()));
  ircChannel->setText(toolkit::DisplayText(IRC.ChannelName()));
  Memo1->clear();
}

void TForm1::FormResize() {
  Edit1->resize(pnlMessage->width() - 111, Edit1->height());
  Edit2->resize(pnlMessage->width() - 111, Edit2->height());
}

void TForm1::FormDestroy() {}

void TForm1::btnConnectClick() {
  const std::string caption = toolkit::TypedText(btnConnect->text());
  if (caption == kConnectCaption) {
    OpenConnection();
  } else if (caption == kCancelCaption) {
    RecordLine(TRawDirection::rdNote, "Cancelled");
    ResetConnection();
  }
}

// The port setter and the open both wait for look-ups while the message loop
// runs. The button reads Cancel before the first of them, so that a second
// press cancels instead of starting a second connection. Once the user has
// cancelled, or the program is ending, what the wait reports is the attempt
// being given up, not a failure.
void TForm1::OpenConnection() {
  const std::uint64_t attempt = ++connect_attempt_;
  const auto abandoned = [&] {
    return attempt != connect_attempt_ || winsys::Application().Terminated();
  };
  RecordLine(TRawDirection::rdNote,
             "Connecting to " + TextOf(ircServer) + " port " + TextOf(ircPort));
  btnConnect->setText(kCancelCaption);
  ircServer->setEnabled(false);
  ircPort->setEnabled(false);
  cbTls->setEnabled(false);
  if (!ServerAddressReadable(TextOf(ircServer))) {
    ResetConnection();
    return;
  }
  try {
    IRCClient->SetAddress(TextOf(ircServer));
    IRCClient->SetPort(TextOf(ircPort));
    if (abandoned()) return;
    IRC.SetChannelName(TextOf(ircChannel));
    IRCClient->Close();
    // The socket object of the class comes first, so that the TLS settings are
    // in place before the connection can report anything.
    const sockets::TSocketClass socket_class = ConnectionClass();
    IRCClient->SetSocketClass(socket_class);
    if (!PrepareTls(TextOf(ircServer))) {
      ResetConnection();
      return;
    }
    IRCClient->Open(socket_class);
  } catch (const sockets::Exception&) {
    if (!abandoned()) throw;
  }
}

void TForm1::IRCClientConnect(sockets::TSockCtrl&, sockets::TSocketBase* Socket) {
  if (Socket == nullptr || !Socket->GetConnected()) {
    RecordLine(TRawDirection::rdNote, "Connection failed");
    ResetConnection();
    return;
  }
  RecordLine(TRawDirection::rdNote, "Connected");
  connection_open_ = true;
  lines_received_ = 0;
  ForgetDroppedLine();
  Memo1->clear();
  if (cbTls->isChecked()) AddLogLine(tls_summary_);
  StartRegistration();
  CommandLineConnected();
}

void TForm1::IRCClientDisconnect(sockets::TSockCtrl&, sockets::TSocketBase*) {
  RecordLine(TRawDirection::rdNote, "Disconnected");
  // A TLS server closes on the clear text of a registration, often after an
  // alert that is no line at all.
  if (connection_open_ && lines_received_ == 0 && !cbTls->isChecked()) {
    AddLogLine("The server may speak TLS on this port: check TLS");
  }
  ResetConnection();
}

void TForm1::IRCClientLineReceived(transport::TLineSocketBase&, const std::string& Line, bool) {
  ++lines_received_;
  if (EndOfDroppedLine(Line)) return;
  RecordLine(TRawDirection::rdReceived, WithoutLineEnd(Line));
  ReceiveLine(Line);
}

void TForm1::btnJoinClick() {
  ircChannel->setEnabled(false);
  IRC.SetChannelName(TextOf(ircChannel));
  lbNames->clear();
  // The user who joins is about to type a message.
  Edit1->setFocus();
  SendLine("JOIN " + IRC.ChannelName());
}

void TForm1::btnPartClick() {
  SendLine("PART " + IRC.ChannelName());
}

void TForm1::Edit1KeyUp(int Key) {
  if (Key != VK_RETURN) return;
  if (SendLine("PRIVMSG " + IRC.ChannelName() + "," + IRC.NickName() + " :" + TextOf(Edit1))) {
    message_history_.Add(Edit1->text());
    Edit1->clear();
  }
}

void TForm1::Edit2KeyUp(int Key) {
  if (Key != VK_RETURN) return;
  if (SendLine(TextOf(Edit2))) {
    command_history_.Add(Edit2->text());
    Edit2->clear();
  }
}

void TForm1::Exit1Click() {
  close();
}

void TForm1::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) winsys::Application().Terminate();
}

bool TForm1::SendLine(const std::string& line) {
  const std::string_view text = FirstLine(line);
  if (const auto why = WriteOut(text, true)) {
    LineNotSent(*why, text);
    return false;
  }
  return true;
}

std::optional<std::string> TForm1::WriteOut(std::string_view bytes, bool add_line_end) {
  // Before the first connection the client's socket object is no line socket
  // yet; and a line written while no connection is open would wait in the
  // write buffer and go out first on the next connection, ahead of its
  // registration.
  if (!IRCClient->Connected() || !connection_open_) return "not connected";
  auto& socket = sockets::CheckedCast<transport::TLineSocket>(*IRCClient->Socket());
  // All or nothing: bytes that do not fit leave no part of them behind.
  if (add_line_end ? socket.WriteLine(bytes) : socket.WriteString(bytes, {})) {
    RecordLine(add_line_end ? TRawDirection::rdSent : TRawDirection::rdSentBytes, bytes);
    if (add_line_end) RegistrationLineSent(bytes);
    return std::nullopt;
  }
  const std::size_t length = bytes.size() + (add_line_end ? socket.GetLineTerminator().size() : 0);
  if (length > socket.WriteBufferSize()) {
    return "too long for the write buffer (" + std::to_string(length) + " of " +
           std::to_string(socket.WriteBufferSize()) + " bytes)";
  }
  return "the server is not reading (write buffer full)";
}

void TForm1::LineNotSent(const std::string& why, std::string_view line) {
  AddLogLine("Line not sent: " + why);
  RecordLine(TRawDirection::rdNote, "Not sent (" + why + "): " + std::string(line));
}

void TForm1::RecordLine(TRawDirection direction, std::string_view bytes) {
  RawLog.Add(direction, bytes);
  pnlRawLog->LogChanged();
}

void TForm1::ForwardLine(const std::string& line) {
  IRC.ProcessLine(line);
}

void TForm1::ResetConnection() {
  ++connect_attempt_;
  connection_open_ = false;
  script_runner_.Stop();
  CloseCertificateDialog();
  IRCClient->Close();
  // Without it, the names the engine still held would never show again after
  // the next join: it lists only names new to it.
  IRC.ConnectionEnded();
  ForgetDroppedLine();
  btnConnect->setText(kConnectCaption);
  ircServer->setEnabled(true);
  ircPort->setEnabled(true);
  cbTls->setEnabled(true);
  btnJoin->setEnabled(false);
  btnPart->setEnabled(false);
}

}  // namespace unit1
