// The flat buffer under the read and write buffers.
#include "transport/byte_block.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace transport {

TByteBlock::TByteBlock(std::uint32_t capacity)
    : data_(std::make_unique<char[]>(capacity)), capacity_(capacity) {}

void TByteBlock::Resize(std::uint32_t capacity) {
  auto block = std::make_unique<char[]>(capacity);
  if (count_ > 0) std::memcpy(block.get(), Data(), std::size_t(count_));
  data_ = std::move(block);
  capacity_ = capacity;
  start_ = 0;
}

char* TByteBlock::Tail() {
  if (start_ != 0) {
    std::memmove(data_.get(), data_.get() + start_, std::size_t(count_));
    start_ = 0;
  }
  return data_.get() + count_;
}

void TByteBlock::Grow(int count) {
  count_ += count;
}

void TByteBlock::Drop(int count) {
  count = std::clamp(count, 0, count_);
  count_ -= count;
  start_ = count_ == 0 ? 0 : start_ + std::uint32_t(count);
}

}  // namespace transport
