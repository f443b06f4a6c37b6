// The event recorder of the engine's tests.
#include "tests/irc/event_log.h"

namespace irc::test {

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
  }
  return quoted + '"';
}

namespace {

// Returns a handler that appends the event's name and its texts to `entries`.
template <typename... Texts>
auto Recorder(std::vector<std::string>& entries, const char* name) {
  return [&entries, name](TParlane&, const Texts&... texts) {
    std::string entry = name;
    ((entry += ' ', entry += Quote(texts)), ...);
    entries.push_back(entry);
  };
}

}  // namespace

TEventLog::TEventLog(TParlane& irc, bool with_msg_log) {
  using S = std::string;
  irc.OnKill = Recorder<S, S>(entries, "OnKill");
  irc.OnBan = Recorder<S, S>(entries, "OnBan");
  irc.OnKick = Recorder<S, S>(entries, "OnKick");
  irc.OnQuit = Recorder<S, S, S, S>(entries, "OnQuit");
  irc.OnPart = Recorder<S, S, S, S>(entries, "OnPart");
  irc.OnReply = Recorder<S, S, S, S>(entries, "OnReply");
  irc.OnPrivMsg = Recorder<S, S, S, S>(entries, "OnPrivMsg");
  irc.OnNotice = Recorder<S, S, S, S>(entries, "OnNotice");
  irc.OnMode = Recorder<S, S, S, S>(entries, "OnMode");
  irc.OnPing = Recorder<S, S, S, S>(entries, "OnPing");
  irc.OnError = Recorder<S, S, S, S>(entries, "OnError");
  irc.OnJoin = Recorder<S, S, S, S, S>(entries, "OnJoin");
  irc.OnInvite = Recorder<S, S, S, S>(entries, "OnInvite");
  irc.OnNick = Recorder<S, S, S, S>(entries, "OnNick");
  irc.OnNames = Recorder<S>(entries, "OnNames");
  if (with_msg_log) irc.OnMsgLog = Recorder<S, S, S, S, S, S>(entries, "OnMsgLog");
  irc.OnNickAdd = Recorder<S>(entries, "OnNickAdd");
  irc.OnNickSet = Recorder<S>(entries, "OnNickSet");
  irc.OnNickDel = Recorder<S>(entries, "OnNickDel");
  irc.OnNickCng = Recorder<S, S>(entries, "OnNickCng");
}

std::vector<std::string> SplitAfterLineFeeds(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    const std::size_t end = lf == std::string::npos ? text.size() : lf + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

}  // namespace irc::test
