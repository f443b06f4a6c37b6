// The buffered socket's life, buffer sizes, pull-up, events and the overrides of
// the stream socket.
#include "transport/buffered_socket.h"

#include <algorithm>
#include <utility>

#include "sockets/raise_event.h"

namespace transport {
namespace {

constexpr std::uint32_t kLargestBuffer = 2147483647;

void ResizeKeepingBytes(TByteBlock& block, std::uint32_t NewSize) {
  if (NewSize < std::uint32_t(block.Count()) || NewSize > kLargestBuffer) {
    throw EBufferedSocketException(kMsgBufferSizeLosesData);
  }
  if (NewSize != block.Capacity()) block.Resize(NewSize);
}

}  // namespace

TBufferedSocketBase::TBufferedSocketBase(sockets::TSockCtrl* Owner)
    : TStreamSocket(Owner), ReadBuffer_(1024), WriteBuffer_(1024) {}

TBufferedSocketBase::~TBufferedSocketBase() = default;

void TBufferedSocketBase::SetReadBufferSize(std::uint32_t NewSize) {
  ResizeKeepingBytes(ReadBuffer_, NewSize);
}

void TBufferedSocketBase::SetWriteBufferSize(std::uint32_t NewSize) {
  ResizeKeepingBytes(WriteBuffer_, NewSize);
}

void TBufferedSocketBase::SetRecordSize(std::uint32_t NewSize) {
  if (NewSize > WriteBufferSize() || NewSize > ReadBufferSize()) {
    throw EBufferedSocketException(kMsgBufferSizeLosesData);
  }
  RecordSize_ = NewSize;
}

void TBufferedSocketBase::PullUpReadBuffer(std::uint32_t Count) {
  if (Count > ReadBufferSize()) throw EBufferedSocketException(kMsgPullUpTooLarge);
  ReadBuffer_.Drop(int(Count));
  if (ReadCount() == 0) DoReadBufferEmpty();
}

void TBufferedSocketBase::PullUpWriteBuffer(std::uint32_t Count) {
  if (Count > WriteBufferSize()) throw EBufferedSocketException(kMsgPullUpTooLarge);
  WriteBuffer_.Drop(int(Count));
  stale_write_count_ = std::max(0, stale_write_count_ - int(Count));
  if (WriteCount() == 0) DoWriteBufferEmpty();
}

void TBufferedSocketBase::DoReadBufferEmpty() {
  sockets::RaiseEvent(OnReadBufferEmpty, *this);
}

void TBufferedSocketBase::DoReadBufferFull() {
  const sockets::TLiveness::TWatch alive = Watch();
  sockets::RaiseEvent(OnReadBufferFull, *this);
  if (alive && ReadBufferFree() <= 0) throw EBufferedSocketException(kMsgReadBufferFull);
}

void TBufferedSocketBase::DoWriteBufferEmpty() {
  if (Sending_ && SendStream_->Position() >= SendStream_->Size()) {
    const sockets::TLiveness::TWatch alive = Watch();
    ReleaseSendStream();
    DoFileSent();
    if (!alive) return;
  }
  sockets::RaiseEvent(OnWriteBufferEmpty, *this);
}

void TBufferedSocketBase::DoWriteBufferFull() {
  sockets::RaiseEvent(OnWriteBufferFull, *this);
}

void TBufferedSocketBase::DoWriteBufferChange() {
  sockets::RaiseEvent(OnWriteBufferChange, *this);
}

void TBufferedSocketBase::DoReadBufferChange() {
  sockets::RaiseEvent(OnReadBufferChange, *this);
}

void TBufferedSocketBase::DoFileSent() {
  sockets::RaiseEvent(OnFileSent, *this);
}

void TBufferedSocketBase::DoFileReceived() {
  sockets::RaiseEvent(OnFileReceived, *this);
}

void TBufferedSocketBase::DoRead() {
  const sockets::TLiveness::TWatch alive = Watch();
  FillReadBuffer();
  if (alive) TStreamSocket::DoRead();
}

void TBufferedSocketBase::DoWrite() {
  const sockets::TLiveness::TWatch alive = Watch();
  FlushWriteBuffer();
  if (alive) TStreamSocket::DoWrite();
}

int TBufferedSocketBase::Send(const void*, int) {
  throw EBufferedSocketException(kMsgNoRawSendRecv);
}

int TBufferedSocketBase::Recv(void*, int) {
  throw EBufferedSocketException(kMsgNoRawSendRecv);
}

void TBufferedSocketBase::Connect(std::string HostName, std::string& Address,
                                  std::string ServiceName, winsock::u_short Port,
                                  sockets::TAsyncOptions Options) {
  // Held bytes are kept past a close for the application to take; a new
  // connection must neither deliver what the last one received nor send what it
  // left unsent. Bytes written since that close are meant for this connection.
  if (!GetConnected()) {
    ReadBuffer_.Clear();
    WriteBuffer_.Drop(stale_write_count_);
    stale_write_count_ = 0;
  }
  TStreamSocket::Connect(std::move(HostName), Address, std::move(ServiceName), Port, Options);
}

void TBufferedSocketBase::Close() {
  const sockets::TLiveness::TWatch alive = Watch();
  const bool was_open = State() == sockets::ssConnected || State() == sockets::ssClosing;
  TStreamSocket::Close();
  if (!alive) return;
  if (was_open && Handle() == winsock::INVALID_SOCKET) stale_write_count_ = WriteCount();
  ReleaseSendStream();
  ReleaseReceiveStream();
}

}  // namespace transport
