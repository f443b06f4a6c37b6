// How a raw log block holds its lines: one record after another, each the
// time since the line before it in the block (zigzag varint), the direction
// byte, the length of the bytes (varint) and the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rawlog/raw_log.h"

namespace rawlog::raw_block {

// The most a record takes besides its bytes.
constexpr std::size_t kMaxRecordHead = 10 + 1 + 10;

// Writes at `at`, and returns the end.
inline char* PutVarint(std::uint64_t value, char* at) {
  while (value >= 0x80) {
    *at++ = char(value | 0x80);
    value >>= 7;
  }
  *at++ = char(value);
  return at;
}

inline std::uint64_t ReadVarint(const char*& at) {
  std::uint64_t value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*at++);
    value |= std::uint64_t(byte & 0x7F) << shift;
    if (byte < 0x80) return value;
  }
}

inline void AppendRecord(std::int64_t time_step, TRawDirection direction, std::string_view bytes,
                         std::string& out) {
  char head[kMaxRecordHead];
  // Zigzag, so that a clock set back costs a few bytes, not ten.
  char* end = PutVarint((std::uint64_t(time_step) << 1) ^ std::uint64_t(time_step >> 63), head);
  *end++ = char(direction);
  end = PutVarint(bytes.size(), end);
  out.append(head, std::size_t(end - head));
  out.append(bytes);
}

// Reads the record at `at` and moves past it; `time` is the time of the line
// before it, and becomes this line's.
inline TRawLine ReadRecord(const char*& at, std::int64_t& time) {
  const std::uint64_t zigzag = ReadVarint(at);
  time += std::int64_t(zigzag >> 1) ^ -std::int64_t(zigzag & 1);
  const auto direction = TRawDirection(*at++);
  const std::size_t length = std::size_t(ReadVarint(at));
  const TRawLine line{time, direction, std::string_view(at, length)};
  at += length;
  return line;
}

}  // namespace rawlog::raw_block
