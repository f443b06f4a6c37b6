// TRawLogReader: the one way to read the raw log's lines, in order, from any
// line on: for the rows in view, copying, saving and the filter. It unpacks
// one block at a time and keeps it, so that reading on from where it stopped,
// or near it, costs little.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "rawlog/raw_log.h"

namespace rawlog {

class TRawLogReader {
 public:
  // Reads `blocks`, which outlive the reader; they may gain lines and lose
  // old ones between calls.
  explicit TRawLogReader(const TRawBlocks& blocks) : blocks_(blocks) {}

  // The next line read is `number`, or the oldest kept if that one is gone.
  void Seek(std::uint64_t number) { next_ = number; }
  // The number of the line Next reads.
  std::uint64_t Number() const { return next_; }
  // The next line, false past the newest. Its bytes stay valid until the next
  // call. Throws std::runtime_error for a damaged block.
  bool Next(TRawLine& line);

 private:
  bool Holds(std::uint64_t number) const;
  void Locate(std::uint64_t number);
  // Refuses a block whose records do not fit it; it is looked up anew next time.
  [[noreturn]] void Damaged();

  const TRawBlocks& blocks_;
  std::uint64_t next_ = 0;
  // The block at hand: lines from first_ on, the open block's when open_,
  // else block_'s, unpacked into unpacked_ when it is compressed (left
  // uninitialised beyond what it unpacks: filling it first would cost as much
  // as unpacking). A block not compressed yet is held, since the log lets it
  // go once its compressed form comes.
  bool have_ = false;
  bool open_ = false;
  std::uint64_t first_ = 0;
  std::uint64_t end_ = 0;
  std::shared_ptr<const TRawBlock> block_;
  std::unique_ptr<char[]> unpacked_;
  std::size_t unpacked_capacity_ = 0;
  // The line numbered at_ begins at offset_; time_ is the time before it.
  std::uint64_t at_ = 0;
  std::size_t offset_ = 0;
  std::int64_t time_ = 0;
};

}  // namespace rawlog
