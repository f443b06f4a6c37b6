// TNickCounts: nicknames and their counts in one buffer and a table.
#include "irc/nick_counts.h"

#include <cstring>
#include <functional>

namespace irc {

namespace {

constexpr std::size_t kHead = 8;

std::uint32_t Read32(const char* at) {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

}  // namespace

std::string_view TNickCounts::NickOf(std::uint32_t slot) const {
  const char* record = bytes_.data() + (slot - kFirstRecord);
  return std::string_view(record + kHead, Read32(record + 4));
}

std::uint32_t TNickCounts::CountOf(std::uint32_t slot) const {
  return Read32(bytes_.data() + (slot - kFirstRecord));
}

void TNickCounts::SetCount(std::uint32_t slot, std::uint32_t count) {
  std::memcpy(bytes_.data() + (slot - kFirstRecord), &count, sizeof count);
}

std::size_t TNickCounts::Find(std::string_view nick, bool& found) const {
  found = false;
  if (slots_.empty()) return 0;
  const std::size_t mask = slots_.size() - 1;
  std::size_t free_slot = slots_.size();
  for (std::size_t at = std::hash<std::string_view>()(nick) & mask;; at = (at + 1) & mask) {
    const std::uint32_t slot = slots_[at];
    if (slot == 0) return free_slot < slots_.size() ? free_slot : at;
    if (slot == kGone) {
      if (free_slot == slots_.size()) free_slot = at;
    } else if (NickOf(slot) == nick) {
      found = true;
      return at;
    }
  }
}

std::size_t TNickCounts::Count(std::string_view nick) const {
  bool found = false;
  const std::size_t at = Find(nick, found);
  return found ? CountOf(slots_[at]) : 0;
}

bool TNickCounts::AddNew(std::string_view nick) {
  if (Count(nick) > 0) return false;
  Add(nick, 1);
  return true;
}

void TNickCounts::Add(std::string_view nick, std::size_t count) {
  bool found = false;
  std::size_t at = Find(nick, found);
  if (found) {
    SetCount(slots_[at], CountOf(slots_[at]) + std::uint32_t(count));
    return;
  }
  Reserve();
  at = Find(nick, found);
  if (slots_[at] == kGone) --gone_slots_;
  const std::size_t offset = bytes_.size();
  char head[kHead];
  const auto count32 = std::uint32_t(count);
  const auto length = std::uint32_t(nick.size());
  std::memcpy(head, &count32, 4);
  std::memcpy(head + 4, &length, 4);
  bytes_.append(head, kHead);
  bytes_.append(nick);
  bytes_.resize((bytes_.size() + 3) & ~std::size_t{3});
  slots_[at] = std::uint32_t(offset + kFirstRecord);
  ++size_;
}

void TNickCounts::RemoveOne(std::string_view nick) {
  bool found = false;
  const std::size_t at = Find(nick, found);
  if (!found) return;
  const std::uint32_t count = CountOf(slots_[at]) - 1;
  if (count == 0) {
    RemoveAll(nick);
  } else {
    SetCount(slots_[at], count);
  }
}

std::size_t TNickCounts::RemoveAll(std::string_view nick) {
  bool found = false;
  const std::size_t at = Find(nick, found);
  if (!found) return 0;
  const std::uint32_t slot = slots_[at];
  const std::size_t count = CountOf(slot);
  gone_bytes_ += (kHead + nick.size() + 3) & ~std::size_t{3};
  slots_[at] = kGone;
  ++gone_slots_;
  --size_;
  return count;
}

void TNickCounts::Clear() {
  bytes_ = std::string();
  slots_ = std::vector<std::uint32_t>();
  size_ = gone_slots_ = gone_bytes_ = 0;
}

void TNickCounts::Reserve() {
  // At most half the slots used or freed, so that a search ends soon.
  if ((size_ + gone_slots_ + 1) * 2 <= slots_.size()) return;
  std::size_t slots = 16;
  while ((size_ + 1) * 2 > slots) slots *= 2;
  // Twice the room when it is mostly in use, so that growing stays rare.
  if ((size_ + 1) * 4 > slots) slots *= 2;
  Rebuild(slots);
}

void TNickCounts::Rebuild(std::size_t slots) {
  std::vector<std::uint32_t> old_slots(slots, 0);
  old_slots.swap(slots_);
  std::string old_bytes;
  const bool compact = gone_bytes_ * 2 > bytes_.size();
  if (compact) {
    old_bytes.swap(bytes_);
    bytes_.reserve(old_bytes.size() - gone_bytes_);
    gone_bytes_ = 0;
  }
  const std::string& source = compact ? old_bytes : bytes_;
  for (const std::uint32_t slot : old_slots) {
    if (slot < kFirstRecord) continue;
    std::uint32_t record = slot;
    const char* at = source.data() + (slot - kFirstRecord);
    const std::string_view nick(at + kHead, Read32(at + 4));
    if (compact) {
      record = std::uint32_t(bytes_.size() + kFirstRecord);
      const std::size_t size = (kHead + nick.size() + 3) & ~std::size_t{3};
      bytes_.append(at, size);
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t place = std::hash<std::string_view>()(nick) & mask;
    while (slots_[place] != 0) place = (place + 1) & mask;
    slots_[place] = record;
  }
  gone_slots_ = 0;
}

}  // namespace irc
