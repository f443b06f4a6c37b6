// Feeds arbitrary bytes, cut into lines, to the IRC engine with every event handled,
// and stops at once when a handler sees something that must hold for any input.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "irc/parlane.h"

namespace {

using fuzz::Require;

// Text that ends before the first carriage return can never hold one.
void RequireNoCarriageReturn(const std::string& text) {
  Require(text.find('\r') == std::string::npos);
}

// Follows the names list through its events, so that an added name can be checked
// against what is listed. The list is emptied silently in three places: when the
// user comes onto the channel or leaves it (the list is empty whenever the user is
// off the channel) and before a names reply that starts with the user's own name,
// on the reply's first line only (the lines up to its 366 go on with the list).
class TNamesMirror {
 public:
  explicit TNamesMirror(irc::TParlane& irc) : irc_(irc) {
    irc.OnMsgLog = [this](irc::TParlane& sender, const std::string&, const std::string&,
                          const std::string&, const std::string& cmd, const std::string& msg,
                          const std::string& line) {
      RequireNoCarriageReturn(msg);
      const std::size_t own = line.find(":" + sender.NickName());
      if (cmd == "353" && own != std::string::npos && own >= 1 && !in_names_reply_) {
        names_.clear();
      }
      if (cmd == "353") in_names_reply_ = true;
      if (cmd == "366") in_names_reply_ = false;
    };
    const auto added = [this](irc::TParlane& sender, const std::string& nick) {
      Require(sender.IsOnChannel() && !nick.empty());
      Require(std::find(names_.begin(), names_.end(), nick) == names_.end());
      names_.push_back(nick);
    };
    irc.OnNickAdd = added;
    irc.OnNickSet = [added](irc::TParlane& sender, const std::string& nick) {
      RequireNoCarriageReturn(nick);
      added(sender, nick);
    };
    irc.OnNickDel = [this](irc::TParlane&, const std::string& nick) {
      const auto listed = std::find(names_.begin(), names_.end(), nick);
      Require(listed != names_.end());
      names_.erase(listed);
    };
    irc.OnNickCng = [this](irc::TParlane&, const std::string& old_nick,
                           const std::string& new_nick) {
      RequireNoCarriageReturn(new_nick);
      const auto listed = std::find(names_.begin(), names_.end(), old_nick);
      Require(listed != names_.end());
      *listed = new_nick;
    };
    irc.OnNames = [](irc::TParlane&, const std::string& name) { RequireNoCarriageReturn(name); };

    const auto target = [](irc::TParlane&, const std::string&, const std::string& reason) {
      RequireNoCarriageReturn(reason);
    };
    irc.OnKill = target;
    irc.OnBan = target;
    irc.OnKick = target;
    const auto line = [](irc::TParlane&, const std::string&, const std::string&, const std::string&,
                         const std::string& msg) { RequireNoCarriageReturn(msg); };
    for (irc::TLineRcvd* event :
         {&irc.OnQuit, &irc.OnPart, &irc.OnReply, &irc.OnPrivMsg, &irc.OnNotice, &irc.OnMode,
          &irc.OnPing, &irc.OnError, &irc.OnInvite, &irc.OnNick}) {
      *event = line;
    }
    irc.OnJoin = [](irc::TParlane&, const std::string&, const std::string&, const std::string&,
                    const std::string&, const std::string& msg) { RequireNoCarriageReturn(msg); };
  }

  void Process(const std::string& line) {
    irc_.ProcessLine(line);
    if (!irc_.IsOnChannel()) names_.clear();
  }

 private:
  irc::TParlane& irc_;
  std::vector<std::string> names_;
  bool in_names_reply_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The user's nickname as the window stores it, and none at all, under which every
  // sender-less JOIN or PART counts as the user's own.
  irc::TParlane named;
  named.SetNickName("Tolvex");
  irc::TParlane nameless;
  for (irc::TParlane* irc : {&named, &nameless}) irc->SetChannelName("#beginner");
  TNamesMirror named_mirror(named);
  TNamesMirror nameless_mirror(nameless);

  fuzz::ForEachLine(input, [&](std::string_view line) {
    named_mirror.Process(std::string(line));
    nameless_mirror.Process(std::string(line));
  });
  return 0;
}
