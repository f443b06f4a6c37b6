// The presentation of the IRC component's events: the log pane, the chat list
// and the names list, and the two answers the client gives by itself (PONG, and
// QUIT when the user is banned, kicked or killed).
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "Il/indent_list_box.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

// The chat list keeps this many entries before a new one.
constexpr int kChatEntriesKept = 200;

}  // namespace

void TForm1::BindIRCEvents() {
  using namespace std::placeholders;
  IRC.OnKill = std::bind(&TForm1::IRCKill, this, _1, _2, _3);
  IRC.OnBan = std::bind(&TForm1::IRCBan, this, _1, _2, _3);
  IRC.OnKick = std::bind(&TForm1::IRCKick, this, _1, _2, _3);
  IRC.OnQuit = std::bind(&TForm1::IRCQuit, this, _1, _2, _3, _4, _5);
  IRC.OnPart = std::bind(&TForm1::IRCPart, this, _1, _2, _3, _4, _5);
  IRC.OnReply = std::bind(&TForm1::IRCReply, this, _1, _2, _3, _4, _5);
  IRC.OnPrivMsg = std::bind(&TForm1::IRCPrivMsg, this, _1, _2, _3, _4, _5);
  IRC.OnNotice = std::bind(&TForm1::IRCNotice, this, _1, _2, _3, _4, _5);
  IRC.OnMode = std::bind(&TForm1::IRCMode, this, _1, _2, _3, _4, _5);
  IRC.OnPing = std::bind(&TForm1::IRCPing, this, _1, _2, _3, _4, _5);
  IRC.OnError = std::bind(&TForm1::IRCError, this, _1, _2, _3, _4, _5);
  IRC.OnJoin = std::bind(&TForm1::IRCJoin, this, _1, _2, _3, _4, _5, _6);
  IRC.OnInvite = std::bind(&TForm1::IRCInvite, this, _1, _2, _3, _4, _5);
  IRC.OnNick = std::bind(&TForm1::IRCNick, this, _1, _2, _3, _4, _5);
  IRC.OnNames = std::bind(&TForm1::IRCNames, this, _1, _2);
  IRC.OnMsgLog = std::bind(&TForm1::IRCMsgLog, this, _1, _2, _3, _4, _5, _6, _7);
  IRC.OnNickAdd = std::bind(&TForm1::IRCNickAdd, this, _1, _2);
  IRC.OnNickSet = std::bind(&TForm1::IRCNickSet, this, _1, _2);
  IRC.OnNickDel = std::bind(&TForm1::IRCNickDel, this, _1, _2);
  IRC.OnNickCng = std::bind(&TForm1::IRCNickCng, this, _1, _2, _3);
}

void TForm1::AddChatEntry(const std::string& title, const std::string& text) {
  while (ilbChat->Count() > kChatEntriesKept) ilbChat->DeleteItem(0);
  ilbChat->AddItem(title + "|" + text);
  // A user reading older entries in the list keeps the place.
  if (!ilbChat->hasFocus()) ilbChat->SetTopIndex(ilbChat->Count() - 1);
}

void TForm1::AddLogLine(const std::string& line) {
  Memo1->AppendLine(toolkit::DisplayText(line));
}

// The names list is kept sorted as names are added, by their shown text
// without regard to case; a renamed entry stays where it was.
void TForm1::AddName(const std::string& nick) {
  lbNames->AddName(nick);
}

void TForm1::PersonRemoved(const std::string& kind, const std::string& PersonKicked,
                           const std::string& ReasonMsg, const std::string& quit_line) {
  AddLogLine(kind + " <" + PersonKicked + "> " + ReasonMsg);
  if (PersonKicked != IRC.NickName()) return;
  SendLine(quit_line);
  ResetConnection();
}

void TForm1::IRCKill(irc::TParlane&, const std::string& PersonKicked,
                     const std::string& ReasonMsg) {
  PersonRemoved("KILL", PersonKicked, ReasonMsg, "QUIT :Killed from Channel or Server");
}

void TForm1::IRCBan(irc::TParlane&, const std::string& PersonKicked, const std::string& ReasonMsg) {
  PersonRemoved("BANN", PersonKicked, ReasonMsg, "QUIT :Banned from channel or server");
}

void TForm1::IRCKick(irc::TParlane&, const std::string& PersonKicked,
                     const std::string& ReasonMsg) {
  PersonRemoved("KICK", PersonKicked, ReasonMsg, "QUIT :Kicked off channel");
}

void TForm1::IRCQuit(irc::TParlane&, const std::string&, const std::string&, const std::string&,
                     const std::string&) {}

void TForm1::IRCPart(irc::TParlane&, const std::string& RcvdFrom, const std::string&,
                     const std::string&, const std::string&) {
  if (!RcvdFrom.starts_with(IRC.NickName())) return;
  lbNames->clear();
  btnPart->setEnabled(false);
  btnJoin->setEnabled(true);
  ircChannel->setEnabled(true);
}

void TForm1::IRCReply(irc::TParlane&, const std::string&, const std::string&,
                      const std::string& RcvdCmd, const std::string& RcvdMsg) {
  AddLogLine(RcvdMsg);
  if (RcvdCmd == "376") btnJoin->setEnabled(true);
}

void TForm1::IRCPrivMsg(irc::TParlane&, const std::string& RcvdFrom, const std::string&,
                        const std::string&, const std::string& RcvdMsg) {
  const std::size_t open = RcvdFrom.find('(');
  AddChatEntry(open == std::string::npos ? std::string() : RcvdFrom.substr(0, open), RcvdMsg);
}

void TForm1::IRCNotice(irc::TParlane&, const std::string&, const std::string&, const std::string&,
                       const std::string& RcvdMsg) {
  AddLogLine(RcvdMsg);
}

void TForm1::IRCMode(irc::TParlane&, const std::string&, const std::string&, const std::string&,
                     const std::string&) {}

void TForm1::IRCPing(irc::TParlane&, const std::string&, const std::string&, const std::string&,
                     const std::string& RcvdMsg) {
  SendLine("PONG " + RcvdMsg);
}

void TForm1::IRCError(irc::TParlane&, const std::string& RcvdFrom, const std::string&,
                      const std::string& RcvdCmd, const std::string& RcvdMsg) {
  AddLogLine("ERROR <" + RcvdFrom + " " + RcvdCmd + "> " + RcvdMsg);
}

void TForm1::IRCJoin(irc::TParlane&, const std::string& RcvdNick, const std::string&,
                     const std::string&, const std::string&, const std::string&) {
  if (RcvdNick != IRC.NickName()) return;
  btnJoin->setEnabled(false);
  btnPart->setEnabled(true);
}

void TForm1::IRCInvite(irc::TParlane&, const std::string& RcvdFrom, const std::string&,
                       const std::string& RcvdCmd, const std::string& RcvdMsg) {
  AddLogLine("INVITE <" + RcvdFrom + " " + RcvdCmd + "> " + RcvdMsg);
}

void TForm1::IRCNick(irc::TParlane&, const std::string&, const std::string&, const std::string&,
                     const std::string&) {}

void TForm1::IRCNames(irc::TParlane&, const std::string&) {}

void TForm1::IRCMsgLog(irc::TParlane&, const std::string&, const std::string&, const std::string&,
                       const std::string&, const std::string&, const std::string&) {}

void TForm1::IRCNickAdd(irc::TParlane&, const std::string& RcvdNick) {
  if (cbnew->isChecked()) AddChatEntry("New:", RcvdNick);
  AddName(RcvdNick);
}

void TForm1::IRCNickSet(irc::TParlane&, const std::string& RcvdNick) {
  AddName(RcvdNick);
}

void TForm1::IRCNickDel(irc::TParlane&, const std::string& RcvdNick) {
  if (lbNames->RemoveName(RcvdNick) && cbdel->isChecked()) AddChatEntry("Leave:", RcvdNick);
}

void TForm1::IRCNickCng(irc::TParlane&, const std::string& OldNick, const std::string& NewNick) {
  if (OldNick == IRC.NickName()) IRC.SetNickName(NewNick);
  const int renamed = lbNames->RenameAll(OldNick, NewNick);
  for (int i = 0; i < renamed && cbcng->isChecked(); ++i) {
    AddChatEntry("Change:", OldNick + " " + NewNick);
  }
}

}  // namespace unit1
