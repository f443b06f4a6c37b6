// The connect and cancel cycle, registration, joining and parting, the two
// entry lines, and the plumbing between the window and its two components.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "Unit1/protocol_line.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"
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
    ircServer->setEnabled(false);
    ircPort->setEnabled(false);
    IRCClient->SetAddress(TextOf(ircServer));
    IRCClient->SetPort(TextOf(ircPort));
    IRC.SetChannelName(TextOf(ircChannel));
    btnConnect->setText(kCancelCaption);
    IRCClient->Close();
    IRCClient->Open(transport::TTextClient::LineSocketClass());
  } else if (caption == kCancelCaption) {
    ResetConnection();
  }
}

void TForm1::IRCClientConnect(sockets::TSockCtrl&, sockets::TSocketBase* Socket) {
  if (Socket == nullptr || !Socket->GetConnected()) {
    ResetConnection();
    return;
  }
  Memo1->clear();
  if (!IRC.Password().empty()) SendLine("PASS " + IRC.Password());
  SendLine("NICK " + IRC.NickName());
  // The blank before the colon makes the user name the fourth parameter, as
  // servers require; without it they answer "not enough parameters".
  SendLine("USER " + IRC.NickName() + " X Y :" + IRC.UserName());
}

void TForm1::IRCClientDisconnect(sockets::TSockCtrl&, sockets::TSocketBase*) {
  ResetConnection();
}

void TForm1::IRCClientLineReceived(transport::TLineSocketBase&, const std::string& Line, bool) {
  ForwardLine(Line);
}

void TForm1::btnJoinClick() {
  ircChannel->setEnabled(false);
  IRC.SetChannelName(TextOf(ircChannel));
  lbNames->clear();
  SendLine("JOIN " + IRC.ChannelName());
}

void TForm1::btnPartClick() {
  SendLine("PART " + IRC.ChannelName());
}

void TForm1::Edit1KeyUp(int Key) {
  if (Key != VK_RETURN) return;
  SendLine("PRIVMSG " + IRC.ChannelName() + "," + IRC.NickName() + " :" + TextOf(Edit1));
  Edit1->clear();
}

void TForm1::Edit2KeyUp(int Key) {
  if (Key != VK_RETURN) return;
  SendLine(TextOf(Edit2));
  Edit2->clear();
}

void TForm1::Exit1Click() {
  close();
}

void TForm1::SendLine(const std::string& line) {
  auto& socket = sockets::CheckedCast<transport::TLineSocket>(*IRCClient->GetSocket());
  // Written while no connection is open, the line would wait in the write
  // buffer and go out first on the next connection, ahead of its registration.
  if (!socket.Connected()) return;
  socket.WriteLine(FirstLine(line));
}

void TForm1::ForwardLine(const std::string& line) {
  IRC.ProcessLine(line);
}

void TForm1::ResetConnection() {
  IRCClient->Close();
  btnConnect->setText(kConnectCaption);
  ircServer->setEnabled(true);
  ircPort->setEnabled(true);
  btnJoin->setEnabled(false);
  btnPart->setEnabled(false);
}

}  // namespace unit1
