// The memory stream.
#include "transport/stream.h"

#include <algorithm>
#include <cstring>

namespace transport {

int TMemoryStream::Read(void* Buffer, int Count) {
  const std::int64_t n = std::clamp<std::int64_t>(Size() - position_, 0, std::max(Count, 0));
  if (n > 0) std::memcpy(Buffer, bytes_.data() + position_, std::size_t(n));
  position_ += n;
  return int(n);
}

int TMemoryStream::Write(const void* Buffer, int Count) {
  if (Count <= 0) return 0;
  const std::size_t end = std::size_t(position_) + std::size_t(Count);
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, Buffer, std::size_t(Count));
  position_ = std::int64_t(end);
  return Count;
}

void TMemoryStream::SetPosition(std::int64_t Value) {
  position_ = std::clamp<std::int64_t>(Value, 0, Size());
}

}  // namespace transport
