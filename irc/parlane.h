// TParlane: the IRC protocol engine. Takes one server line at a time, cuts it into
// sender, command and parameters, raises one event per kind of message and follows
// one channel: its name, whether the user is on it and the nicknames on it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "irc/nick_counts.h"
#include "irc/parlane_parse.h"

namespace irc {

class TParlane;

// Event types. The sender comes first; every text is the line's value, read-only.
using TKillRcvd = std::function<void(TParlane& Sender, const std::string& PersonKicked,
                                     const std::string& ReasonMsg)>;
using TBanRcvd = TKillRcvd;
using TKickRcvd = TKillRcvd;
// The common shape of the events that report one line.
using TLineRcvd =
    std::function<void(TParlane& Sender, const std::string& RcvdFrom, const std::string& RcvdID,
                       const std::string& RcvdCmd, const std::string& RcvdMsg)>;
using TQuitRcvd = TLineRcvd;
using TPartRcvd = TLineRcvd;
using TReplyRcvd = TLineRcvd;
using TPrivMsgRcvd = TLineRcvd;
using TNoticeRcvd = TLineRcvd;
using TModeRcvd = TLineRcvd;
using TPingRcvd = TLineRcvd;
using TErrorRcvd = TLineRcvd;
using TInviteRcvd = TLineRcvd;
using TNickRcvd = TLineRcvd;
using TJoinRcvd = std::function<void(TParlane& Sender, const std::string& RcvdNick,
                                     const std::string& RcvdFrom, const std::string& RcvdID,
                                     const std::string& RcvdCmd, const std::string& RcvdMsg)>;
using TNamesRcvd = std::function<void(TParlane& Sender, const std::string& RcvdName)>;
using TMsgLog =
    std::function<void(TParlane& Sender, const std::string& RcvdNick, const std::string& RcvdFrom,
                       const std::string& RcvdID, const std::string& RcvdCmd,
                       const std::string& RcvdMsg, const std::string& RcvdLine)>;
using TNamesAdd = std::function<void(TParlane& Sender, const std::string& RcvdNick)>;
using TNamesSet = TNamesAdd;
using TNamesDel = TNamesAdd;
using TNamesCng =
    std::function<void(TParlane& Sender, const std::string& OldNick, const std::string& NewNick)>;

class TParlane {
 public:
  // The owner is kept, not used: it is whoever destroys the component.
  explicit TParlane(void* Owner = nullptr);
  TParlane(const TParlane&) = delete;
  TParlane& operator=(const TParlane&) = delete;

  void* Owner() const { return owner_; }

  const std::string& UserName() const { return UserName_; }
  void SetUserName(const std::string& value) { UserName_ = value; }
  // The user's own nickname; the component never changes it.
  const std::string& NickName() const { return NickName_; }
  void SetNickName(const std::string& value) { NickName_ = value; }
  const std::string& Password() const { return Password_; }
  void SetPassword(const std::string& value) { Password_ = value; }
  // The channel whose nicknames are followed; a name without "#" or "&" gets "#".
  const std::string& ChannelName() const { return ChannelName_; }
  void SetChannelName(const std::string& value);
  // Only the user's own JOIN and PART, and ConnectionEnded, change it; writing
  // it has no effect.
  bool IsOnChannel() const { return IsOnChannel_; }
  void SetIsOnChannel(bool) {}
  // The connection is gone, and the user with it from the channel: the names
  // held are forgotten, so that the next own JOIN starts them afresh.
  void ConnectionEnded();
  // Always false; writing it has no effect.
  bool IsRegistered() const { return IsRegistered_; }
  void SetIsRegistered(bool) {}
  bool GameBot() const { return GameBot_; }
  void SetGameBot(bool value) { GameBot_ = value; }
  // Set by any line that holds "@" and the user's nickname; never cleared here.
  bool ChannelOp() const { return ChannelOp_; }
  void SetChannelOp(bool value) { ChannelOp_ = value; }

  // Handles one server line, which must still end in its carriage return: raises
  // OnMsgLog, then the events of its command, before returning. A line without a
  // carriage return is ignored. The values handed to the events point into Line:
  // it must stay unchanged until the call returns (a caller whose handlers may
  // change it passes a copy). Each event is called through a copy of its handler,
  // so a handler may clear or replace its own event, or hand in a nested line.
  void ProcessLine(const std::string& Line);

  // Events; an unassigned one is skipped.
  TKillRcvd OnKill;
  TBanRcvd OnBan;
  TKickRcvd OnKick;
  TQuitRcvd OnQuit;
  TPartRcvd OnPart;
  TReplyRcvd OnReply;
  TPrivMsgRcvd OnPrivMsg;
  TNoticeRcvd OnNotice;
  TModeRcvd OnMode;
  TPingRcvd OnPing;
  TErrorRcvd OnError;
  TJoinRcvd OnJoin;
  TInviteRcvd OnInvite;
  TNickRcvd OnNick;
  TNamesRcvd OnNames;
  TMsgLog OnMsgLog;
  TNamesAdd OnNickAdd;
  TNamesSet OnNickSet;
  TNamesDel OnNickDel;
  TNamesCng OnNickCng;

 private:
  // The values of the line being handled. They live in the component so that their
  // storage is reused from line to line; a handler that hands the component another
  // line meanwhile gets a fresh set, and the values of the outer line stay intact.
  struct TLineValues {
    TLineCut cut;
    std::string RcvdLine;
    std::string Msg;
    std::string Person;
    std::string Reason;
    std::string Name;
  };

  // Cuts a line that holds a carriage return and dispatches it.
  void HandleLine(const std::string& Line, TLineValues& line);
  void DispatchLine(TLineValues& line);

  // The names state. The list follows ChannelName only, so the operations need no
  // channel; each acts only while the user is on the channel and for a nickname.
  void NickAdd(const std::string& nick);
  void NickSet(const std::string& nick);
  void NickDel(const std::string& nick);
  void NickCng(const std::string& old_nick, const std::string& new_nick);
  void ParseNames(std::string_view rest, std::string& name);
  // Lists `nick` unless it is listed already; true when it was added.
  bool AppendNew(const std::string& nick);

  void* owner_;
  std::string NickName_;
  std::string Password_;
  std::string UserName_;
  std::string ChannelName_;
  // The nicknames on the channel. The order of the entries is never seen from outside
  // (every event names the nickname only), so the list is kept as a count of entries
  // per nickname: a NICK can leave two equal entries, which count 2.
  TNickCounts NickList_;
  bool IsOnChannel_ = false;
  // Between a names reply's first line and its end.
  bool InNamesReply_ = false;
  bool IsRegistered_ = false;
  bool GameBot_ = false;
  bool ChannelOp_ = false;

  TLineValues values_;
  bool values_in_use_ = false;
};

}  // namespace irc
