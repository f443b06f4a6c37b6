// TNickCounts: how many entries the names list holds of each nickname, in
// little memory: the nicknames packed one behind the other in one buffer,
// each with its count, found through an open-addressing table of offsets.
// A channel of a hundred thousand names takes about two megabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace irc {

class TNickCounts {
 public:
  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  // 0 for a nickname not listed.
  std::size_t Count(std::string_view nick) const;
  // Lists the nickname once, unless it is listed already: true when it was
  // not.
  bool AddNew(std::string_view nick);
  // Adds `count` entries of the nickname.
  void Add(std::string_view nick, std::size_t count);
  // Takes away one entry of a listed nickname; the last takes it off.
  void RemoveOne(std::string_view nick);
  // Takes the nickname off, and gives how many entries it had.
  std::size_t RemoveAll(std::string_view nick);
  void Clear();

 private:
  // A slot holds 0 (never used), kGone (used, then freed) or the offset of a
  // record in bytes_ plus kFirstRecord.
  static constexpr std::uint32_t kGone = 1;
  static constexpr std::uint32_t kFirstRecord = 2;

  // The slot holding the nickname, or the slot where it would go.
  std::size_t Find(std::string_view nick, bool& found) const;
  std::string_view NickOf(std::uint32_t slot) const;
  std::uint32_t CountOf(std::uint32_t slot) const;
  void SetCount(std::uint32_t slot, std::uint32_t count);
  // Makes room for one more, rebuilding the table (and the buffer, when freed
  // records fill half of it).
  void Reserve();
  void Rebuild(std::size_t slots);

  // Records: the count (4 bytes), the length (4 bytes), the bytes, padded to
  // a multiple of four.
  std::string bytes_;
  std::vector<std::uint32_t> slots_;
  std::size_t size_ = 0;
  std::size_t gone_slots_ = 0;
  std::size_t gone_bytes_ = 0;
};

}  // namespace irc
