// TByteBlock: one flat buffer of a fixed capacity whose held bytes are read from
// the front and appended at the back. Taking bytes from the front only advances
// an offset; the held bytes are moved down once, when room is next needed at the
// back, so cutting many lines out of one receive costs one move, not one each.
#pragma once

#include <cstdint>
#include <memory>

namespace transport {

class TByteBlock {
 public:
  // A new block of `capacity` bytes; nothing is held.
  explicit TByteBlock(std::uint32_t capacity = 0);

  std::uint32_t Capacity() const { return capacity_; }
  int Count() const { return count_; }
  int Free() const { return int(capacity_) - count_; }
  // The held bytes, oldest first, Count() of them.
  const char* Data() const { return data_.get() + start_; }

  // A new capacity that keeps the held bytes (the caller checks they fit).
  void Resize(std::uint32_t capacity);
  // Free() bytes of room right behind the held bytes.
  char* Tail();
  // `count` bytes written into Tail() are held from now on.
  void Grow(int count);
  // The first `count` held bytes go (at most all of them).
  void Drop(int count);
  void Clear() { start_ = 0, count_ = 0; }

 private:
  std::unique_ptr<char[]> data_;
  std::uint32_t capacity_ = 0;
  std::uint32_t start_ = 0;
  int count_ = 0;
};

}  // namespace transport
