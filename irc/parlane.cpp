// TParlane: handling one server line, from the cut to the events of its command.
#include "irc/parlane.h"

#include <string_view>
#include <utility>

namespace irc {

namespace {

// What a command does; one entry per row of the dispatch table.
enum class TRow {
  Kill,
  Ban,
  Kick,
  Notice,
  PrivMsg,
  Quit,
  Part,
  Nick,
  Mode,
  Ping,
  Error,
  Join,
  Invite,
  Names,
  EndOfNames,
  Motd,
  EndOfMotd,
  ChannelModes,
  Inviting,
  NotOperator,
  NickRejected,
  NoSuchNick,
  Topic,
  Other,
};

// Commands are compared exactly: a lower-case "privmsg" is just another reply.
constexpr std::pair<std::string_view, TRow> kRows[] = {
    {"PRIVMSG", TRow::PrivMsg},  {"NOTICE", TRow::Notice},    {"JOIN", TRow::Join},
    {"PART", TRow::Part},        {"QUIT", TRow::Quit},        {"NICK", TRow::Nick},
    {"PING", TRow::Ping},        {"MODE", TRow::Mode},        {"KICK", TRow::Kick},
    {"KILL", TRow::Kill},        {"ERROR", TRow::Error},      {"INVITE", TRow::Invite},
    {"353", TRow::Names},        {"366", TRow::EndOfNames},   {"372", TRow::Motd},
    {"375", TRow::Motd},         {"376", TRow::EndOfMotd},    {"465", TRow::Ban},
    {"473", TRow::Ban},          {"474", TRow::Ban},          {"475", TRow::Ban},
    {"324", TRow::ChannelModes}, {"341", TRow::Inviting},     {"482", TRow::NotOperator},
    {"436", TRow::NickRejected}, {"432", TRow::NickRejected}, {"401", TRow::NoSuchNick},
    {"332", TRow::Topic},
};

TRow RowOf(std::string_view command) {
  for (const auto& [name, row] : kRows) {
    if (name == command) return row;
  }
  return TRow::Other;
}

const std::string kNoText;

// Called through a copy of the handler: a handler that clears or replaces its
// own event would otherwise free the function object that is still running.
template <typename Event, typename... Args>
void Raise(const Event& event, TParlane& sender, const Args&... args) {
  if (!event) return;
  const Event handler = event;
  handler(sender, args...);
}

// Holds a flag set for as long as it lives, however its scope is left.
class TFlagHeld {
 public:
  explicit TFlagHeld(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagHeld() { flag_ = false; }
  TFlagHeld(const TFlagHeld&) = delete;
  TFlagHeld& operator=(const TFlagHeld&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TParlane::TParlane(void* Owner) : owner_(Owner) {}

void TParlane::ProcessLine(const std::string& Line) {
  if (Line.find('\r') == std::string::npos) return;
  // A handler that hands the component another line meanwhile gets fresh values for
  // it, so that the texts the handler was handed stay valid.
  if (values_in_use_) {
    TLineValues nested;
    HandleLine(Line, nested);
    return;
  }
  const TFlagHeld in_use(values_in_use_);
  HandleLine(Line, values_);
}

void TParlane::HandleLine(const std::string& Line, TLineValues& line) {
  line.cut.Reset(Line);
  if (FindMarked(Line, '@', NickName_) != std::string::npos) ChannelOp_ = true;
  if (line.cut.rest.starts_with(':')) ParsePrefix(line.cut);
  ParseCommand(line.cut);
  DispatchLine(line);
}

void TParlane::DispatchLine(TLineValues& line) {
  const TLineCut& cut = line.cut;
  line.RcvdLine.assign(cut.rest);
  line.Msg.clear();
  // The trailing text is both the log's RcvdMsg and every row's Msg: no row changes
  // the rest it is taken from.
  GetTrailing(cut.rest, line.Msg);
  Raise(OnMsgLog, *this, cut.RcvdNick, cut.RcvdFrom, cut.RcvdID, cut.RcvdCmd, line.Msg,
        line.RcvdLine);

  const std::string& Msg = line.Msg;
  const auto report = [&](const TLineRcvd& event, const std::string& text) {
    Raise(event, *this, cut.RcvdFrom, cut.RcvdID, cut.RcvdCmd, text);
  };
  const auto target = [&](const TKillRcvd& event) {
    ParseTarget(cut.rest, line.Person, line.Reason);
    NickDel(line.Person);
    Raise(event, *this, line.Person, line.Reason);
  };

  switch (RowOf(cut.RcvdCmd)) {
    case TRow::Kill:
      target(OnKill);
      break;
    case TRow::Ban:
      target(OnBan);
      break;
    case TRow::Kick:
      target(OnKick);
      break;
    case TRow::Notice:
      report(OnNotice, Msg);
      break;
    case TRow::PrivMsg:
      report(OnPrivMsg, Msg);
      break;
    case TRow::Quit:
      NickDel(cut.RcvdNick);
      report(OnQuit, Msg);
      break;
    case TRow::Part:
      NickDel(cut.RcvdNick);
      if (cut.RcvdNick == NickName_) {
        IsOnChannel_ = false;
        NickList_.Clear();
      }
      report(OnPart, Msg);
      break;
    case TRow::Nick:
      NickCng(cut.RcvdNick, Msg);
      report(OnNick, Msg);
      break;
    case TRow::Mode:
      report(OnMode, Msg);
      break;
    case TRow::Ping:
      report(OnPing, Msg);
      break;
    case TRow::Error:
      report(OnError, Msg);
      break;
    case TRow::Join:
      // The user's own first JOIN is tried before the flag is set, so it adds nothing:
      // the user's nickname arrives with the names reply.
      NickAdd(cut.RcvdNick);
      if (cut.RcvdNick == NickName_ && !IsOnChannel_) {
        IsOnChannel_ = true;
        NickList_.Clear();
      }
      Raise(OnJoin, *this, cut.RcvdNick, cut.RcvdFrom, cut.RcvdID, cut.RcvdCmd, Msg);
      break;
    case TRow::Invite:
      report(OnInvite, Msg);
      break;
    case TRow::Names:
      // A reply whose list begins with the user's own, unmarked nickname starts
      // afresh. Only its first line can: a long reply goes on over several
      // lines, and one of them may well begin with the user's nickname.
      if (const std::size_t at = FindMarked(cut.rest, ':', NickName_);
          !InNamesReply_ && at != std::string_view::npos && at >= 1) {
        NickList_.Clear();
      }
      InNamesReply_ = true;
      ParseNames(cut.rest, line.Name);
      break;
    case TRow::EndOfNames:
      InNamesReply_ = false;
      break;
    case TRow::Inviting:
      break;
    case TRow::Motd:
    case TRow::ChannelModes:
    case TRow::NotOperator:
    case TRow::NoSuchNick:
    case TRow::Topic:
    case TRow::Other:
      report(OnReply, Msg);
      break;
    case TRow::EndOfMotd:
      report(OnReply, kNoText);
      break;
    case TRow::NickRejected:
      // No person or reason is worked out for a rejected nickname: both stay empty,
      // so that the window never takes the reply for a kill of the user.
      NickDel(cut.RcvdNick);
      Raise(OnKill, *this, kNoText, kNoText);
      break;
  }
}

}  // namespace irc
