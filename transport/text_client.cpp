// The text client: buffer and line settings carried into each new socket object.
#include "transport/text_client.h"

#include <algorithm>

#include "sockets/invalid_cast.h"

namespace transport {

TBufferedClientBase::TBufferedClientBase(sockets::TComponent* AOwner)
    : TCustomClientSocket(AOwner) {}

void TBufferedClientBase::SetReadBufferSize(std::int32_t Value) {
  ReadBufferSize_ = std::max(Value, 0);
}

void TBufferedClientBase::SetWriteBufferSize(std::int32_t Value) {
  WriteBufferSize_ = std::max(Value, 0);
}

void TBufferedClientBase::SetRecordSize(std::int32_t Value) {
  RecordSize_ = std::max(Value, 0);
}

std::unique_ptr<sockets::TSocketBase> TBufferedClientBase::CreateSocket() {
  std::unique_ptr<sockets::TSocketBase> socket = TCustomClientSocket::CreateSocket();
  auto& buffered = sockets::CheckedCast<TBufferedSocketBase>(*socket);
  buffered.OnWriteBufferEmpty = OnWriteBufferEmpty;
  buffered.OnReadBufferEmpty = OnReadBufferEmpty;
  buffered.OnWriteBufferFull = OnWriteBufferFull;
  buffered.OnReadBufferFull = OnReadBufferFull;
  buffered.OnWriteBufferChange = OnWriteBufferChange;
  buffered.OnReadBufferChange = OnReadBufferChange;
  buffered.OnFileSent = OnFileSent;
  buffered.OnFileReceived = OnFileReceived;
  buffered.SetReadBufferSize(std::uint32_t(ReadBufferSize_));
  buffered.SetWriteBufferSize(std::uint32_t(WriteBufferSize_));
  buffered.SetRecordSize(std::uint32_t(RecordSize_));
  return socket;
}

TTextClientBase::TTextClientBase(sockets::TComponent* AOwner) : TBufferedClientBase(AOwner) {}

std::unique_ptr<sockets::TSocketBase> TTextClientBase::CreateSocket() {
  std::unique_ptr<sockets::TSocketBase> socket = TBufferedClientBase::CreateSocket();
  auto& line_socket = sockets::CheckedCast<TLineSocketBase>(*socket);
  line_socket.OnLineReceived = OnLineReceived;
  line_socket.LineOptions = LineOptions;
  line_socket.LineType = LineType;
  return socket;
}

}  // namespace transport
