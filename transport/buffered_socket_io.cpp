// The buffered socket's reading and writing operations: bytes, blocks, records
// and terminated strings out of the read buffer and into the write buffer.
#include <algorithm>
#include <cstring>

#include "transport/buffered_socket.h"

namespace transport {

int TBufferedSocketBase::FindTerminator(std::string_view Terminator, int From) const {
  From = std::max(From, 0);
  if (Terminator.empty() || From >= ReadCount()) return kNotFound;
  const std::string_view held(ReadBuffer(), std::size_t(ReadCount()));
  const std::size_t at = held.find(Terminator, std::size_t(From));
  return at == std::string_view::npos ? kNotFound : int(at + Terminator.size());
}

int TBufferedSocketBase::Read(void* Buffer, std::uint32_t Count) {
  const int n = int(std::min<std::uint32_t>(Count, std::uint32_t(ReadCount())));
  if (n > 0) {
    std::memcpy(Buffer, ReadBuffer(), std::size_t(n));
    PullUpReadBuffer(std::uint32_t(n));
  }
  return n;
}

int TBufferedSocketBase::ReadToStream(TStream& Stream, std::uint32_t Count) {
  const int n = int(std::min<std::uint32_t>(Count, std::uint32_t(ReadCount())));
  if (n <= 0) return 0;
  // A stream that takes fewer bytes leaves the rest held.
  const int taken = std::clamp(Stream.Write(ReadBuffer(), n), 0, n);
  if (taken > 0) PullUpReadBuffer(std::uint32_t(taken));
  return taken;
}

bool TBufferedSocketBase::ReadBlock(void* Buffer, std::uint32_t Size) {
  if (Size > ReadBufferSize()) throw EBufferedSocketException(kMsgBlockTooLarge);
  if (Size > std::uint32_t(ReadCount())) return false;
  if (Size == 0) throw EBufferedSocketException(kMsgBlockSizeZero);
  std::memcpy(Buffer, ReadBuffer(), Size);
  PullUpReadBuffer(Size);
  return true;
}

bool TBufferedSocketBase::ReadRecord(void* Buffer) {
  return ReadBlock(Buffer, RecordSize_);
}

void TBufferedSocketBase::AppendBytes(const void* Buffer, int Count) {
  if (Count <= 0) return;
  std::memcpy(WriteBuffer_.Tail(), Buffer, std::size_t(Count));
  WriteBuffer_.Grow(Count);
}

int TBufferedSocketBase::Write(const void* Buffer, std::uint32_t Count) {
  if (Count > WriteBufferSize()) throw EBufferedSocketException(kMsgWriteBufferFull);
  const int n = std::min(int(Count), WriteBufferFree());
  if (n > 0) {
    AppendBytes(Buffer, n);
    if (WriteBufferFree() == 0) DoWriteBufferFull();
  }
  return n;
}

int TBufferedSocketBase::WriteFromStream(TStream& Stream, std::uint32_t Count) {
  if (Count > WriteBufferSize()) throw EBufferedSocketException(kMsgWriteBufferFull);
  const int n = std::min(int(Count), WriteBufferFree());
  if (n <= 0) return 0;
  // Only what the stream delivers is held, however much was asked for.
  const int delivered = std::clamp(Stream.Read(WriteBuffer_.Tail(), n), 0, n);
  WriteBuffer_.Grow(delivered);
  if (delivered > 0 && WriteBufferFree() == 0) DoWriteBufferFull();
  return delivered;
}

bool TBufferedSocketBase::WriteBlock(const void* Buffer, std::uint32_t Size) {
  if (std::int64_t(WriteBufferFree()) < std::int64_t(Size)) {
    throw EBufferedSocketException(kMsgBlockTooLarge);
  }
  if (Size == 0) return true;
  AppendBytes(Buffer, int(Size));
  if (WriteBufferFree() == 0) DoWriteBufferFull();
  return true;
}

bool TBufferedSocketBase::WriteRecord(const void* Buffer) {
  return WriteBlock(Buffer, RecordSize_);
}

bool TBufferedSocketBase::ReadString(std::string& Line, std::string_view Terminator,
                                     bool KeepTerminator) {
  const int n = FindTerminator(Terminator, 0);
  if (n == kNotFound) return false;
  const int length = KeepTerminator ? n : n - int(Terminator.size());
  Line.assign(ReadBuffer(), std::size_t(length));
  PullUpReadBuffer(std::uint32_t(n));
  return true;
}

bool TBufferedSocketBase::WriteString(std::string_view Text, std::string_view Terminator) {
  if (std::int64_t(WriteBufferFree()) < std::int64_t(Text.size() + Terminator.size())) {
    return false;
  }
  // Text and terminator go in together, before any handler can run.
  AppendBytes(Text.data(), int(Text.size()));
  AppendBytes(Terminator.data(), int(Terminator.size()));
  if (!Text.empty() || !Terminator.empty()) {
    if (WriteBufferFree() == 0) DoWriteBufferFull();
  }
  return true;
}

bool TBufferedSocketBase::ReadPChar(char* Buffer, int BufferSize, std::string_view Terminator,
                                    bool KeepTerminator) {
  const int n = FindTerminator(Terminator, 0);
  if (n == kNotFound || std::int64_t(n) > std::int64_t(BufferSize) - 1) return false;
  const int length = KeepTerminator ? n : n - int(Terminator.size());
  std::memcpy(Buffer, ReadBuffer(), std::size_t(length));
  Buffer[length] = '\0';
  PullUpReadBuffer(std::uint32_t(n));
  return true;
}

bool TBufferedSocketBase::WritePChar(const char* Text, std::string_view Terminator) {
  return TBufferedSocketBase::WriteString(Text != nullptr ? Text : "", Terminator);
}

}  // namespace transport
