// The raw log as it was before its blocks were compressed, kept for the
// benchmark rows that compare with it in the same run: every line's bytes
// packed into plain blocks, each line with a place of its own in a list, and a
// filter that shows each line in full, clock and all, before looking in it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

#include "bytes/byte_escapes.h"
#include "rawlog/raw_log.h"

namespace bench {

class TRawLogBefore {
 public:
  TRawLogBefore(std::size_t lines_kept, std::size_t bytes_kept)
      : lines_kept_(lines_kept), bytes_kept_(bytes_kept) {}

  void Add(std::int64_t time, rawlog::TRawDirection direction, std::string_view bytes) {
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < bytes.size()) {
      const std::size_t capacity = std::max(kBlockBytes, bytes.size());
      blocks_.push_back(TBlock{std::make_unique<char[]>(capacity), capacity});
      bytes_ += capacity;
    }
    TBlock& block = blocks_.back();
    char* stored = block.data.get() + block.used;
    std::copy(bytes.begin(), bytes.end(), stored);
    block.used += bytes.size();
    ++block.lines;
    lines_.push_back(rawlog::TRawLine{time, direction, {stored, bytes.size()}});
    bytes_ += sizeof(rawlog::TRawLine);
    while (!lines_.empty() && (lines_.size() > lines_kept_ || bytes_ > bytes_kept_)) {
      lines_.pop_front();
      bytes_ -= sizeof(rawlog::TRawLine);
      if (--blocks_.front().lines > 0) continue;
      bytes_ -= blocks_.front().capacity;
      blocks_.pop_front();
    }
  }
  std::size_t Size() const { return lines_.size(); }
  std::size_t Bytes() const { return bytes_; }
  const rawlog::TRawLine& Line(std::size_t index) const { return lines_[index]; }

 private:
  static constexpr std::size_t kBlockBytes = 64 * 1024;
  struct TBlock {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t used = 0;
    std::size_t lines = 0;
  };
  std::deque<rawlog::TRawLine> lines_;
  std::deque<TBlock> blocks_;
  std::size_t bytes_ = 0;
  std::size_t lines_kept_;
  std::size_t bytes_kept_;
};

// The filter's test of one line before: the clock looked up for every line,
// the shown line made anew, and a search that folds each byte it compares.
// (The bytes are made visible by today's code, which copies plain runs whole:
// the before side is, if anything, a little faster than it was.)
inline bool MatchedBefore(const rawlog::TRawLine& line, std::string_view lower_needle) {
  std::string shown;
  shown.reserve(15 + line.Bytes.size());
  const std::time_t seconds = std::time_t(line.Time / 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto two = [&](int value) {
    shown += char('0' + value / 10);
    shown += char('0' + value % 10);
  };
  two(local.tm_hour);
  shown += ':';
  two(local.tm_min);
  shown += ':';
  two(local.tm_sec);
  shown += '.';
  const int ms = int(line.Time % 1000);
  shown += char('0' + ms / 100);
  two(ms % 100);
  shown += ' ';
  shown += char(line.Direction);
  shown += ' ';
  bytes::AppendVisibleBytes(line.Bytes, shown);
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return std::search(shown.begin(), shown.end(), lower_needle.begin(), lower_needle.end(),
                     [&](char a, char b) { return lower(a) == b; }) != shown.end();
}

}  // namespace bench
