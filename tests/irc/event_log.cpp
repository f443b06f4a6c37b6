// The event recorder of the engine's tests.
#include "tests/irc/event_log.h"

namespace irc::test {

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      quoted += c == '\r' ? "\\r" : "\\n";
    } else {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
  }
  return quoted + '"';
}

void JoinWithNames(TParlane& irc, const std::string& names) {
  irc.SetNickName("me");
  irc.SetChannelName("#c");
  irc.ProcessLine(":me!u@h JOIN :#c\r\n");
  irc.ProcessLine(":srv 353 me = #c :" + names + "\r\n");
}

TEventLog::TEventLog(TParlane& irc, bool with_msg_log) {
  // One handler fits every event type: it writes the name and whatever texts it gets.
  const auto record = [this](const char* name) {
    return [this, name](TParlane&, const auto&... texts) {
      std::string entry = name;
      ((entry += ' ', entry += Quote(texts)), ...);
      entries.push_back(entry);
    };
  };
  irc.OnKill = record("OnKill"), irc.OnBan = record("OnBan"), irc.OnKick = record("OnKick");
  irc.OnQuit = record("OnQuit"), irc.OnPart = record("OnPart"), irc.OnReply = record("OnReply");
  irc.OnPrivMsg = record("OnPrivMsg"), irc.OnNotice = record("OnNotice");
  irc.OnMode = record("OnMode"), irc.OnPing = record("OnPing"), irc.OnError = record("OnError");
  irc.OnJoin = record("OnJoin"), irc.OnInvite = record("OnInvite"), irc.OnNick = record("OnNick");
  irc.OnNames = record("OnNames"), irc.OnNickAdd = record("OnNickAdd");
  irc.OnNickSet = record("OnNickSet"), irc.OnNickDel = record("OnNickDel");
  irc.OnNickCng = record("OnNickCng");
  if (with_msg_log) irc.OnMsgLog = record("OnMsgLog");
}

}  // namespace irc::test
