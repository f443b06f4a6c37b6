// TParlane: the followed channel and the list of nicknames on it.
#include <algorithm>

#include "irc/parlane.h"

namespace irc {

void TParlane::SetChannelName(const std::string& value) {
  if (value == ChannelName_) return;
  if (value.find_first_of("#&") == std::string::npos) {
    ChannelName_ = "#" + value;
  } else {
    ChannelName_ = value;
  }
}

bool TParlane::AppendNew(const std::string& nick) {
  if (!IsOnChannel_ || nick.empty()) return false;
  if (std::find(NickList_.begin(), NickList_.end(), nick) != NickList_.end()) return false;
  NickList_.push_back(nick);
  return true;
}

void TParlane::NickAdd(const std::string& nick) {
  if (AppendNew(nick) && OnNickAdd) OnNickAdd(*this, nick);
}

void TParlane::NickSet(const std::string& nick) {
  if (AppendNew(nick) && OnNickSet) OnNickSet(*this, nick);
}

void TParlane::NickDel(const std::string& nick) {
  if (!IsOnChannel_ || nick.empty()) return;
  const auto listed = std::find(NickList_.begin(), NickList_.end(), nick);
  if (listed == NickList_.end()) return;
  NickList_.erase(listed);
  if (OnNickDel) OnNickDel(*this, nick);
}

void TParlane::NickCng(const std::string& old_nick, const std::string& new_nick) {
  if (!IsOnChannel_ || old_nick.empty() || new_nick.empty()) return;
  // Every entry is renamed, even into a nickname that is listed already. The second
  // bound holds should a handler empty the list meanwhile.
  const std::size_t count = NickList_.size();
  for (std::size_t i = 0; i < count && i < NickList_.size(); ++i) {
    if (NickList_[i] != old_nick) continue;
    NickList_[i] = new_nick;
    if (OnNickCng) OnNickCng(*this, old_nick, new_nick);
  }
}

void TParlane::ParseNames(std::string_view rest, std::string& name) {
  const std::size_t colon = rest.find(':');
  if (colon != std::string_view::npos) rest.remove_prefix(colon + 1);
  const std::string_view names = BeforeCarriageReturn(rest);

  // Every name is reported, an empty one between two blanks included; only new
  // names are listed.
  const auto take = [&] {
    NickSet(name);
    if (OnNames) OnNames(*this, name);
    name.clear();
  };
  name.clear();
  for (const char c : names) {
    if (c == ' ') {
      take();
    } else {
      name.push_back(c);
    }
  }
  if (!name.empty()) take();
}

}  // namespace irc
