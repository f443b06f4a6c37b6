// TBufferedClientBase, TTextClientBase and TTextClient: the client component whose
// socket object is a buffered (line) socket. The buffer and line settings and
// their events are plain fields of the component, copied into each socket object
// when it is created; changing them later affects only the next socket object.
// Open the client with TLineSocket (TTextClient::LineSocketClass()) before using
// its socket object.
#pragma once

#include <cstdint>
#include <memory>

#include "sockets/client_socket.h"
#include "transport/buffered_socket.h"
#include "transport/line_socket.h"

namespace transport {

class TBufferedClientBase : public sockets::TCustomClientSocket {
 public:
  explicit TBufferedClientBase(sockets::TComponent* AOwner);

  TBufferedSocketNotifyEvent OnWriteBufferEmpty;
  TBufferedSocketNotifyEvent OnReadBufferEmpty;
  TBufferedSocketNotifyEvent OnWriteBufferFull;
  TBufferedSocketNotifyEvent OnReadBufferFull;
  TBufferedSocketNotifyEvent OnWriteBufferChange;
  TBufferedSocketNotifyEvent OnReadBufferChange;
  TBufferedSocketNotifyEvent OnFileSent;
  TBufferedSocketNotifyEvent OnFileReceived;

  // 0 to 2147483647; a negative value is stored as 0.
  std::int32_t ReadBufferSize() const { return ReadBufferSize_; }
  void SetReadBufferSize(std::int32_t Value);
  std::int32_t WriteBufferSize() const { return WriteBufferSize_; }
  void SetWriteBufferSize(std::int32_t Value);
  std::int32_t RecordSize() const { return RecordSize_; }
  void SetRecordSize(std::int32_t Value);

  // A socket object of the socket class, which must be a buffered socket class
  // (EInvalidCast otherwise), with the events and sizes above. A RecordSize above
  // a buffer size fails with "Cannot change buffer size - data will be lost.".
  std::unique_ptr<sockets::TSocketBase> CreateSocket() override;

 private:
  std::int32_t ReadBufferSize_ = 1024;
  std::int32_t WriteBufferSize_ = 1024;
  std::int32_t RecordSize_ = 16;
};

class TTextClientBase : public TBufferedClientBase {
 public:
  explicit TTextClientBase(sockets::TComponent* AOwner);

  TLineReceivedEvent OnLineReceived;
  TLineSocketOptionsSet LineOptions = kDefaultLineOptions;
  TLineSocketType LineType = lstCRLF;

  // As above, and the socket class must be a line socket class; the socket gets
  // OnLineReceived, LineOptions and LineType.
  std::unique_ptr<sockets::TSocketBase> CreateSocket() override;
};

class TTextClient : public TTextClientBase {
 public:
  using TTextClientBase::TTextClientBase;

  // The socket class to open a text client with.
  static sockets::TSocketClass LineSocketClass() {
    return sockets::TSocketClass::Of<TLineSocket>();
  }
};

}  // namespace transport
