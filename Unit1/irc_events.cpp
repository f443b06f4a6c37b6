// The presentation of the IRC component's events: the log pane, the chat list
// and the names list, and the two answers the client gives by itself (PONG, and
// QUIT when the user is banned, kicked or killed).
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "Il/indent_list_box.h"
#include "Unit1/unit1.h"
#include "irc/cap_reply.h"
#include "irc/ctcp.h"
#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

// The chat list keeps this many entries before a new one.
constexpr int kChatEntriesKept = 200;

// The title of a chat entry that tells what its sender does.
constexpr const char* kActionTitle = "*";

// The nickname in RcvdFrom, which holds it followed by " (" and the address.
std::string SenderNick(const std::string& RcvdFrom) {
  return RcvdFrom.substr(0, RcvdFrom.find(" ("));
}

// The log pane's line for a CTCP request or reply other than an action:
// "CTCP VERSION from bob", "CTCP VERSION reply from bob: text".
std::string CtcpLogLine(const irc::TCtcp& ctcp, const std::string& sender, bool reply) {
  std::string line =
      "CTCP " + std::string(ctcp.Command) + (reply ? " reply" : "") + " from " + sender;
  if (reply || !ctcp.Arguments.empty()) line += ": " + std::string(ctcp.Arguments);
  return line;
}

}  // namespace

void TForm1::BindIRCEvents() {
  IRC.OnKill = std::bind_front(&TForm1::IRCKill, this);
  IRC.OnBan = std::bind_front(&TForm1::IRCBan, this);
  IRC.OnKick = std::bind_front(&TForm1::IRCKick, this);
  IRC.OnQuit = std::bind_front(&TForm1::IRCQuit, this);
  IRC.OnPart = std::bind_front(&TForm1::IRCPart, this);
  IRC.OnReply = std::bind_front(&TForm1::IRCReply, this);
  IRC.OnPrivMsg = std::bind_front(&TForm1::IRCPrivMsg, this);
  IRC.OnNotice = std::bind_front(&TForm1::IRCNotice, this);
  IRC.OnMode = std::bind_front(&TForm1::IRCMode, this);
  IRC.OnPing = std::bind_front(&TForm1::IRCPing, this);
  IRC.OnError = std::bind_front(&TForm1::IRCError, this);
  IRC.OnJoin = std::bind_front(&TForm1::IRCJoin, this);
  IRC.OnInvite = std::bind_front(&TForm1::IRCInvite, this);
  IRC.OnNick = std::bind_front(&TForm1::IRCNick, this);
  IRC.OnNames = std::bind_front(&TForm1::IRCNames, this);
  IRC.OnMsgLog = std::bind_front(&TForm1::IRCMsgLog, this);
  IRC.OnNickAdd = std::bind_front(&TForm1::IRCNickAdd, this);
  IRC.OnNickSet = std::bind_front(&TForm1::IRCNickSet, this);
  IRC.OnNickDel = std::bind_front(&TForm1::IRCNickDel, this);
  IRC.OnNickCng = std::bind_front(&TForm1::IRCNickCng, this);
}

void TForm1::AddChatEntry(const std::string& title, const std::string& text) {
  while (ilbChat->Count() > kChatEntriesKept) ilbChat->DeleteItem(0);
  ilbChat->AddItem(title + "|" + text);
  // A user reading older entries in the list keeps the place.
  if (!ilbChat->hasFocus()) ilbChat->SetTopIndex(ilbChat->Count() - 1);
}

void TForm1::AddLogLine(const std::string& line) {
  Memo1->AppendLine(line);
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
  // RcvdFrom is the sender's nickname followed by " (": a nickname that only
  // begins with the user's own is someone else's.
  if (!RcvdFrom.starts_with(IRC.NickName() + " (")) return;
  lbNames->clear();
  btnPart->setEnabled(false);
  btnJoin->setEnabled(true);
  ircChannel->setEnabled(true);
}

void TForm1::IRCReply(irc::TParlane&, const std::string&, const std::string&,
                      const std::string& RcvdCmd, const std::string& RcvdMsg) {
  // A CAP reply has its own log line; the server's SASL prompt says nothing.
  if (RcvdCmd != "CAP" && RcvdCmd != "AUTHENTICATE") AddLogLine(RcvdMsg);
  // A server without a message of the day ends registration with 422 instead.
  if (RcvdCmd == "376" || RcvdCmd == "422") {
    btnJoin->setEnabled(true);
    CommandLineJoinEnabled();
  }
}

void TForm1::IRCPrivMsg(irc::TParlane&, const std::string& RcvdFrom, const std::string&,
                        const std::string&, const std::string& RcvdMsg) {
  const std::size_t open = RcvdFrom.find('(');
  const std::string title = open == std::string::npos ? std::string() : RcvdFrom.substr(0, open);
  if (const auto ctcp = irc::CtcpOf(RcvdMsg)) {
    if (ctcp->Command == "ACTION") {
      AddChatEntry(kActionTitle, SenderNick(RcvdFrom) + " " + std::string(ctcp->Arguments));
    } else {
      AddLogLine(CtcpLogLine(*ctcp, SenderNick(RcvdFrom), false));
    }
    return;
  }
  AddChatEntry(title, RcvdMsg);
}

void TForm1::IRCNotice(irc::TParlane&, const std::string& RcvdFrom, const std::string&,
                       const std::string&, const std::string& RcvdMsg) {
  if (const auto ctcp = irc::CtcpOf(RcvdMsg)) {
    AddLogLine(CtcpLogLine(*ctcp, SenderNick(RcvdFrom), true));
    return;
  }
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
                       const std::string& RcvdCmd, const std::string&,
                       const std::string& RcvdLine) {
  if (RcvdCmd == "CAP") AddLogLine(irc::CapReplyLogLine(RcvdLine));
}

void TForm1::IRCNickAdd(irc::TParlane&, const std::string& RcvdNick) {
  if (cbnew->isChecked()) AddChatEntry("New:", RcvdNick);
  AddName(RcvdNick);
}

// A names reply that lists the user first makes the engine start its list
// afresh without a word, and list every name again: a name shown already
// stays shown once.
void TForm1::IRCNickSet(irc::TParlane&, const std::string& RcvdNick) {
  lbNames->AddNameIfAbsent(RcvdNick);
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
