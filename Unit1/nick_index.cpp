// The open table of the names list's index: linear probing, and removal that
// moves the slots after a freed one back, so that no search stops early.
#include "Unit1/nick_index.h"

#include <utility>

namespace unit1 {

void TNickIndex::Clear() {
  slots_.clear();
  used_ = 0;
}

void TNickIndex::Add(std::uint32_t hash, std::uint32_t chunk) {
  // At most three slots in four used: searches stay short.
  if (4 * (used_ + 1) > 3 * slots_.size()) Grow();
  std::size_t at = Home(hash);
  while (slots_[at].chunk != kEmpty) at = Next(at);
  slots_[at] = TSlot{hash, chunk};
  ++used_;
}

std::size_t TNickIndex::Find(std::uint32_t hash, std::uint32_t chunk) const {
  std::size_t at = Home(hash);
  while (slots_[at].hash != hash || slots_[at].chunk != chunk) at = Next(at);
  return at;
}

void TNickIndex::Remove(std::uint32_t hash, std::uint32_t chunk) {
  std::size_t hole = Find(hash, chunk);
  // A slot after the hole moves into it unless its home lies cyclically
  // after the hole and up to the slot itself.
  for (std::size_t at = Next(hole); slots_[at].chunk != kEmpty; at = Next(at)) {
    const std::size_t home = Home(slots_[at].hash);
    const bool stays = hole < at ? hole < home && home <= at : hole < home || home <= at;
    if (!stays) {
      slots_[hole] = slots_[at];
      hole = at;
    }
  }
  slots_[hole] = TSlot{};
  --used_;
}

void TNickIndex::Move(std::uint32_t hash, std::uint32_t from, std::uint32_t to) {
  slots_[Find(hash, from)].chunk = to;
}

void TNickIndex::Grow() {
  std::vector<TSlot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : 2 * old.size(), TSlot{});
  used_ = 0;
  for (const TSlot& slot : old) {
    if (slot.chunk != kEmpty) Add(slot.hash, slot.chunk);
  }
}

}  // namespace unit1
