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

// Reads the varint at `at` into `value` and moves past it; false when it does
// not end before `end` within ten bytes.
inline bool ReadVarint(const char*& at, const char* end, std::uint64_t& value) {
  value = 0;
  for (int shift = 0; shift < 70 && at < end; shift += 7) {
    const auto byte = static_cast<unsigned char>(*at++);
    value |= std::uint64_t(byte & 0x7F) << shift;
    if (byte < 0x80) return true;
  }
  return false;
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

// Reads the record at `at` into `line` and moves past it; `time` is the time
// of the line before it, and becomes this line's. False when the record does
// not fit before `end`: the block is damaged, and nothing beyond it is read.
inline bool ReadRecord(const char*& at, const char* end, std::int64_t& time, TRawLine& line) {
  std::uint64_t zigzag = 0;
  std::uint64_t length = 0;
  if (!ReadVarint(at, end, zigzag) || at == end) return false;
  const auto direction = TRawDirection(*at++);
  if (!ReadVarint(at, end, length) || length > std::uint64_t(end - at)) return false;
  // Wrapping, as the step was taken.
  const std::uint64_t step = (zigzag >> 1) ^ (0 - (zigzag & 1));
  time = std::int64_t(std::uint64_t(time) + step);
  line = TRawLine{time, direction, std::string_view(at, std::size_t(length))};
  at += length;
  return true;
}

}  // namespace rawlog::raw_block
