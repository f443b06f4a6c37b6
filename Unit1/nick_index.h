// TNickIndex: where the names list's entries are, by the hash of their bytes:
// one slot an entry, naming the chunk that holds it, so that an entry is found
// without walking the list. An open table of 8-byte slots probed in a row
// (about 16 bytes a name); two names whose hashes agree share their slots'
// searches, which only costs a look into one more chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace unit1 {

class TNickIndex {
 public:
  void Clear();
  void Add(std::uint32_t hash, std::uint32_t chunk);
  // Takes out one slot of `hash` naming `chunk`; there is one.
  void Remove(std::uint32_t hash, std::uint32_t chunk);
  // One slot of `hash` naming `from` names `to` instead.
  void Move(std::uint32_t hash, std::uint32_t from, std::uint32_t to);
  // Calls visit(chunk) for each slot of `hash`.
  template <typename Visit>
  void ForEach(std::uint32_t hash, Visit visit) const {
    if (slots_.empty()) return;
    for (std::size_t at = Home(hash); slots_[at].chunk != kEmpty; at = Next(at)) {
      if (slots_[at].hash == hash) visit(slots_[at].chunk);
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = ~std::uint32_t{0};
  struct TSlot {
    std::uint32_t hash = 0;
    std::uint32_t chunk = kEmpty;
  };

  std::size_t Home(std::uint32_t hash) const { return hash & (slots_.size() - 1); }
  std::size_t Next(std::size_t at) const { return (at + 1) & (slots_.size() - 1); }
  std::size_t Find(std::uint32_t hash, std::uint32_t chunk) const;
  void Grow();

  std::vector<TSlot> slots_;
  std::size_t used_ = 0;
};

}  // namespace unit1
