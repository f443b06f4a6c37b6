// TRawLogReader: lines in order out of the raw log's blocks.
#include "rawlog/raw_log_reader.h"

#include <zstd.h>

#include <algorithm>
#include <stdexcept>

#include "rawlog/raw_log_block.h"

namespace rawlog {

bool TRawLogReader::Holds(std::uint64_t number) const {
  if (!have_ || number < first_) return false;
  // The open block grows, until it is sealed and another opens.
  if (open_) return blocks_.OpenFirst == first_ && number < blocks_.EndNumber();
  return number < end_;
}

void TRawLogReader::Locate(std::uint64_t number) {
  have_ = true;
  at_ = 0;
  offset_ = 0;
  time_ = 0;
  block_.reset();
  open_ = number >= blocks_.OpenFirst;
  if (open_) {
    first_ = at_ = blocks_.OpenFirst;
    return;
  }
  const auto after =
      std::upper_bound(blocks_.Sealed.begin(), blocks_.Sealed.end(), number,
                       [](std::uint64_t n, const std::shared_ptr<const TRawBlock>& block) {
                         return n < block->First;
                       });
  block_ = *std::prev(after);
  first_ = at_ = block_->First;
  end_ = block_->First + block_->Lines;
  if (!block_->Compressed) return;
  if (unpacked_capacity_ < block_->PackedSize) {
    unpacked_.reset(new char[block_->PackedSize]);
    unpacked_capacity_ = block_->PackedSize;
  }
  // Readers on the window's thread and on the saving one each keep a context.
  thread_local const std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(),
                                                                                  &ZSTD_freeDCtx);
  const std::size_t size = ZSTD_decompressDCtx(context.get(), unpacked_.get(), block_->PackedSize,
                                               block_->Data.data(), block_->Data.size());
  if (size != block_->PackedSize) Damaged();
}

void TRawLogReader::Damaged() {
  have_ = false;
  throw std::runtime_error("raw log block is damaged");
}

bool TRawLogReader::Next(TRawLine& line) {
  next_ = std::max(next_, blocks_.FirstNumber);
  if (next_ >= blocks_.EndNumber()) return false;
  if (!Holds(next_)) Locate(next_);
  if (at_ > next_) {
    at_ = first_;
    offset_ = 0;
    time_ = 0;
  }
  const std::string_view packed = open_ ? std::string_view(blocks_.Open)
                                  : block_->Compressed
                                      ? std::string_view(unpacked_.get(), block_->PackedSize)
                                      : std::string_view(block_->Data);
  const char* at = packed.data() + offset_;
  const char* const end = packed.data() + packed.size();
  for (; at_ <= next_; ++at_) {
    if (!raw_block::ReadRecord(at, end, time_, line)) Damaged();
  }
  offset_ = std::size_t(at - packed.data());
  ++next_;
  return true;
}

}  // namespace rawlog
