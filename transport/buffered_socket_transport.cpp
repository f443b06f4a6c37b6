// The buffered socket on the connection: flushing the write buffer, filling the
// read buffer, and the stream transfers that ride on both.
#include <algorithm>
#include <utility>

#include "sockets/error_text.h"
#include "sockets/sock_error.h"
#include "transport/buffered_socket.h"

namespace transport {

using sockets::TLiveness;

std::uint32_t TBufferedSocketBase::StreamPending() {
  return std::uint32_t(PendingBytes());
}

template <typename Transfer>
int TBufferedSocketBase::ResetEndsConnection(Transfer transfer) {
  try {
    return transfer();
  } catch (const sockets::ESockError&) {
    if (LastError() != winsock::WSAECONNRESET) throw;
  }
  DoDisconnect();
  return -1;
}

// The status report comes first and its handler may do anything; the buffer is
// looked at only afterwards, so the send never works from a stale view of it.
void TBufferedSocketBase::FlushWriteBuffer() {
  const TLiveness::TWatch alive = Watch();
  while (WriteCount() > 0) {
    DoInfo(sockets::siSending);
    if (!alive || WriteCount() == 0) return;
    const int sent =
        ResetEndsConnection([this] { return CheckedSend(WriteBuffer(), WriteCount()); });
    if (sent <= 0) return;
    PullUpWriteBuffer(std::uint32_t(sent));
    if (!alive) return;
    DoWriteBufferChange();
    if (!alive) return;
    if (Sending_) {
      SendFromStream();
      if (!alive) return;
    }
  }
}

// A full buffer is not offered to the connection: a receive of no bytes would
// only ask for the next read notification, again and again, while nothing moves.
void TBufferedSocketBase::FillReadBuffer() {
  FillReadBufferUntil(ReceivedTotal() + ReadBudget_);
}

void TBufferedSocketBase::FillReadBufferUntil(std::uint64_t ReceivedLimit) {
  const TLiveness::TWatch alive = Watch();
  while (ReadBufferFree() > 0 && ReceivedTotal() < ReceivedLimit) {
    DoInfo(sockets::siReceiving);
    if (!alive || ReadBufferFree() <= 0) return;
    // Checked before the receive, so that the error a notification left in
    // LastError cannot make this failure pass for a reset.
    if (State() != sockets::ssConnected && State() != sockets::ssClosing) {
      sockets::RaiseSockError(0, sockets::kMsgSocketNotOpen);
    }
    const int received =
        ResetEndsConnection([this] { return CheckedRecv(ReadBuffer_.Tail(), ReadBufferFree()); });
    if (received <= 0) return;
    ReadBuffer_.Grow(received);
    DoReadBufferChange();
    if (!alive) return;
    if (Receiving_) {
      ReceiveToStream();
      if (!alive) return;
    }
    if (ReadBufferFree() <= 0) {
      DoReadBufferFull();
      if (!alive) return;
    }
    if (!GetConnected()) return;
  }
}

void TBufferedSocketBase::SendFromStream() {
  if (SendStream_ == nullptr) return;
  const std::int64_t left = SendStream_->Size() - SendStream_->Position();
  const std::int64_t n = std::min<std::int64_t>(left, WriteBufferFree());
  if (n > 0) WriteFromStream(*SendStream_, std::uint32_t(n));
}

void TBufferedSocketBase::ReceiveToStream() {
  TStream* stream = ReceiveStream_;
  if (stream == nullptr) return;
  const TLiveness::TWatch alive = Watch();
  const std::int64_t n = std::min<std::int64_t>(ReceiveSize_ - stream->Position(), ReadCount());
  if (n > 0) {
    ReadToStream(*stream, std::uint32_t(n));
    // A handler of the emptied buffer may have ended this transfer.
    if (!alive || ReceiveStream_ != stream) return;
  }
  if (stream->Position() >= ReceiveSize_) {
    ReleaseReceiveStream();
    DoFileReceived();
  }
}

void TBufferedSocketBase::ReleaseSendStream() {
  SendStream_ = nullptr;
  Sending_ = false;
  OwnedSendStream_.reset();
}

void TBufferedSocketBase::ReleaseReceiveStream() {
  ReceiveStream_ = nullptr;
  Receiving_ = false;
  OwnedReceiveStream_.reset();
}

void TBufferedSocketBase::StartSendTransfer(TStream& Stream) {
  ReleaseSendStream();
  RunSendTransfer(Stream);
}

void TBufferedSocketBase::StartSendTransfer(std::unique_ptr<TStream> Stream) {
  ReleaseSendStream();
  if (!Stream) return;
  TStream& stream = *Stream;
  OwnedSendStream_ = std::move(Stream);
  RunSendTransfer(stream);
}

void TBufferedSocketBase::RunSendTransfer(TStream& Stream) {
  SendStream_ = &Stream;
  Sending_ = true;
  const TLiveness::TWatch alive = Watch();
  SendFromStream();
  if (!alive || SendStream_ != &Stream) return;
  // An empty stream has nothing to send, so no send will end the transfer.
  if (WriteCount() == 0) {
    ReleaseSendStream();
    DoFileSent();
    return;
  }
  FlushWriteBuffer();
}

void TBufferedSocketBase::StartReceiveTransfer(TStream& Stream, std::int64_t Count) {
  ReleaseReceiveStream();
  RunReceiveTransfer(Stream, Count);
}

void TBufferedSocketBase::StartReceiveTransfer(std::unique_ptr<TStream> Stream,
                                               std::int64_t Count) {
  ReleaseReceiveStream();
  if (!Stream) return;
  TStream& stream = *Stream;
  OwnedReceiveStream_ = std::move(Stream);
  RunReceiveTransfer(stream, Count);
}

void TBufferedSocketBase::RunReceiveTransfer(TStream& Stream, std::int64_t Count) {
  ReceiveStream_ = &Stream;
  ReceiveSize_ = Stream.Position() + std::max<std::int64_t>(Count, 0);
  Receiving_ = true;
  // The bytes already held belong to the transfer too.
  ReceiveToStream();
}

}  // namespace transport
