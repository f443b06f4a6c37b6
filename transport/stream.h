// TStream: what a stream transfer reads from or writes to, a sequence of bytes
// with a current position; TMemoryStream keeps them in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace transport {

class TStream {
 public:
  virtual ~TStream() = default;

  // Copies up to Count bytes from the position on into Buffer and moves the
  // position behind them; returns how many.
  virtual int Read(void* Buffer, int Count) = 0;
  // Writes Count bytes at the position, growing the stream as needed, and moves
  // the position behind them; returns how many were taken.
  virtual int Write(const void* Buffer, int Count) = 0;
  virtual std::int64_t Position() const = 0;
  virtual void SetPosition(std::int64_t Value) = 0;
  virtual std::int64_t Size() const = 0;
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  // Holds `bytes`, positioned at the start.
  explicit TMemoryStream(std::string_view bytes) : bytes_(bytes) {}

  int Read(void* Buffer, int Count) override;
  int Write(const void* Buffer, int Count) override;
  std::int64_t Position() const override { return position_; }
  // Clamped to 0 .. Size().
  void SetPosition(std::int64_t Value) override;
  std::int64_t Size() const override { return std::int64_t(bytes_.size()); }

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::int64_t position_ = 0;
};

}  // namespace transport
