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
  NickList_.Clear();
}

bool TParlane::AppendNew(const std::string& nick) {
  if (!IsOnChannel_ || nick.empty()) return false;
  return NickList_.AddNew(nick);
}

void TParlane::NickAdd(const std::string& nick) {
  if (AppendNew(nick) && OnNickAdd) OnNickAdd(*this, nick);
}

void TParlane::NickSet(const std::string& nick) {
  if (AppendNew(nick) && OnNickSet) OnNickSet(*this, nick);
}

void TParlane::NickDel(const std::string& nick) {
  if (!IsOnChannel_ || nick.empty()) return;
  if (NickList_.Count(nick) == 0) return;
  NickList_.RemoveOne(nick);
  if (OnNickDel) OnNickDel(*this, nick);
}

void TParlane::NickCng(const std::string& old_nick, const std::string& new_nick) {
  if (!IsOnChannel_ || old_nick.empty() || new_nick.empty()) return;
  // Every entry is renamed, even into a nickname that is listed already, and each
  // renamed entry is reported.
  const std::size_t renamed = NickList_.RemoveAll(old_nick);
  if (renamed == 0) return;
  NickList_.Add(new_nick, renamed);
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
