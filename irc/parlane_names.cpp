// TParlane: the followed channel and the list of nicknames on it.
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

void TParlane::ConnectionEnded() {
  IsOnChannel_ = false;
  InNamesReply_ = false;
  NickList_.clear();
}

bool TParlane::AppendNew(const std::string& nick) {
  if (!IsOnChannel_ || nick.empty()) return false;
  return NickList_.try_emplace(nick, 1).second;
}

void TParlane::NickAdd(const std::string& nick) {
  if (AppendNew(nick) && OnNickAdd) OnNickAdd(*this, nick);
}

void TParlane::NickSet(const std::string& nick) {
  if (AppendNew(nick) && OnNickSet) OnNickSet(*this, nick);
}

void TParlane::NickDel(const std::string& nick) {
  if (!IsOnChannel_ || nick.empty()) return;
  const auto listed = NickList_.find(nick);
  if (listed == NickList_.end()) return;
  if (--listed->second == 0) NickList_.erase(listed);
  if (OnNickDel) OnNickDel(*this, nick);
}

void TParlane::NickCng(const std::string& old_nick, const std::string& new_nick) {
  if (!IsOnChannel_ || old_nick.empty() || new_nick.empty()) return;
  const auto listed = NickList_.find(old_nick);
  if (listed == NickList_.end()) return;
  // Every entry is renamed, even into a nickname that is listed already, and each
  // renamed entry is reported.
  const std::size_t renamed = listed->second;
  NickList_.erase(listed);
  NickList_[new_nick] += renamed;
  for (std::size_t i = 0; i < renamed; ++i) {
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
