// The line socket's terminator choice and its options.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace transport {

enum TLineSocketType : std::uint8_t { lstCR, lstLF, lstCRLF };

// CR, LF or CR LF; empty for any other value.
constexpr std::string_view LineTerminatorOf(TLineSocketType Type) {
  switch (Type) {
    case lstCR:
      return "\r";
    case lstLF:
      return "\n";
    case lstCRLF:
      return "\r\n";
  }
  return {};
}

enum TLineSocketOptions : std::uint8_t {
  // WriteLine appends the terminator to the text.
  lsoAddLineChars,
  // Every successful WriteString or WritePChar is followed by a flush.
  lsoAutoFlushAfterWrite,
  // Lines handed to OnLineReceived keep their terminator.
  lsoReturnLineChars,
  // Lines are cut out of the read buffer as they arrive and raised as
  // OnLineReceived; without it nothing is cut automatically.
  lsoLineReceivedEvents,
};

// A set of TLineSocketOptions held in one byte, lsoAddLineChars as bit 0.
class TLineSocketOptionsSet {
 public:
  constexpr TLineSocketOptionsSet() = default;
  constexpr TLineSocketOptionsSet(std::initializer_list<TLineSocketOptions> options) {
    for (TLineSocketOptions option : options) Include(option);
  }
  static constexpr TLineSocketOptionsSet FromByte(std::uint8_t bits) {
    TLineSocketOptionsSet options;
    options.bits_ = bits;
    return options;
  }

  constexpr bool Contains(TLineSocketOptions option) const { return bits_ & Bit(option); }
  constexpr TLineSocketOptionsSet& Include(TLineSocketOptions option) {
    bits_ = std::uint8_t(bits_ | Bit(option));
    return *this;
  }
  constexpr TLineSocketOptionsSet& Exclude(TLineSocketOptions option) {
    bits_ = std::uint8_t(bits_ & ~Bit(option));
    return *this;
  }
  constexpr std::uint8_t Byte() const { return bits_; }
  constexpr bool operator==(const TLineSocketOptionsSet&) const = default;

 private:
  static constexpr std::uint8_t Bit(TLineSocketOptions option) {
    return std::uint8_t(1u << option);
  }
  std::uint8_t bits_ = 0;
};

// What a new line socket and a new text client start with (the byte value 11).
inline constexpr TLineSocketOptionsSet kDefaultLineOptions{lsoAddLineChars, lsoAutoFlushAfterWrite,
                                                           lsoLineReceivedEvents};

}  // namespace transport
