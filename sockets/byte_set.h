// TByteSet: a set of up to eight enumeration values held in one byte, the first
// value as bit 0 — the shape of the option sets that components store.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace sockets {

template <typename Enum>
class TByteSet {
 public:
  constexpr TByteSet() = default;
  constexpr TByteSet(std::initializer_list<Enum> values) {
    for (Enum value : values) Include(value);
  }
  static constexpr TByteSet FromByte(std::uint8_t bits) {
    TByteSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr bool Contains(Enum value) const { return bits_ & Bit(value); }
  constexpr TByteSet& Include(Enum value) {
    bits_ = std::uint8_t(bits_ | Bit(value));
    return *this;
  }
  constexpr TByteSet& Exclude(Enum value) {
    bits_ = std::uint8_t(bits_ & ~Bit(value));
    return *this;
  }
  constexpr std::uint8_t Byte() const { return bits_; }
  constexpr bool operator==(const TByteSet&) const = default;

 private:
  static constexpr std::uint8_t Bit(Enum value) { return std::uint8_t(1u << value); }
  std::uint8_t bits_ = 0;
};

}  // namespace sockets
