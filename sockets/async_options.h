// TAsyncOptions: which readiness notifications a connected socket asks for.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/wsock32/winsock.h"

namespace sockets {

enum TAsyncOptionsType : std::uint8_t { csoRead, csoWrite, csoOOB };

// A set of TAsyncOptionsType held in one byte, csoRead as bit 0.
class TAsyncOptions {
 public:
  constexpr TAsyncOptions() = default;
  constexpr TAsyncOptions(std::initializer_list<TAsyncOptionsType> options) {
    for (TAsyncOptionsType option : options) Include(option);
  }
  static constexpr TAsyncOptions FromByte(std::uint8_t bits) {
    TAsyncOptions options;
    options.bits_ = bits;
    return options;
  }

  constexpr bool Contains(TAsyncOptionsType option) const { return bits_ & Bit(option); }
  constexpr TAsyncOptions& Include(TAsyncOptionsType option) {
    bits_ = std::uint8_t(bits_ | Bit(option));
    return *this;
  }
  constexpr TAsyncOptions& Exclude(TAsyncOptionsType option) {
    bits_ = std::uint8_t(bits_ & ~Bit(option));
    return *this;
  }
  constexpr std::uint8_t Byte() const { return bits_; }
  constexpr bool operator==(const TAsyncOptions&) const = default;

 private:
  static constexpr std::uint8_t Bit(TAsyncOptionsType option) { return std::uint8_t(1u << option); }
  std::uint8_t bits_ = 0;
};

// The WSAAsyncSelect event mask of the options: csoRead gives FD_READ, csoWrite
// FD_WRITE and csoOOB FD_OOB, which are the options' own bits.
constexpr long AsyncOptionsToEvents(TAsyncOptions options) {
  static_assert(winsock::FD_READ == 1 << csoRead && winsock::FD_WRITE == 1 << csoWrite &&
                winsock::FD_OOB == 1 << csoOOB);
  return options.Byte() & 7;
}

}  // namespace sockets
