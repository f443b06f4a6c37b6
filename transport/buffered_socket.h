// TBufferedSocketBase: a TCP socket object with a read buffer and a write buffer
// between the application and the connection. A read notification fills the read
// buffer; the application takes bytes, blocks, records or terminated strings out
// of it. The application appends to the write buffer; a flush (explicit, or on a
// write notification) sends it. A stream transfer can feed the write buffer from a
// stream, or drain the read buffer into one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "sockets/stream_socket.h"
#include "transport/buffered_socket_exception.h"
#include "transport/byte_block.h"
#include "transport/stream.h"

namespace transport {

class TBufferedSocketBase;

// The most bytes one fill of the read buffer receives before it returns to the
// event loop. A connection that never pauses would otherwise keep the window
// from repainting and from its keys for as long as it talks; a receive that
// leaves bytes waiting makes the socket library post the next read
// notification, so nothing waits for longer than one turn of the loop.
constexpr std::uint32_t kReadBudgetBytes = 64 * 1024;

using TBufferedSocketNotifyEvent = std::function<void(TBufferedSocketBase& socket)>;

class TBufferedSocketBase : public sockets::TStreamSocket {
 public:
  // FindTerminator's result when the terminator is not among the held bytes.
  static constexpr int kNotFound = 2147483647;

  // Both buffers of 1024 bytes, records of 16 bytes.
  explicit TBufferedSocketBase(sockets::TSockCtrl* Owner);
  ~TBufferedSocketBase() override;

  // The write buffer became empty by sending.
  TBufferedSocketNotifyEvent OnWriteBufferEmpty;
  // An append filled the write buffer.
  TBufferedSocketNotifyEvent OnWriteBufferFull;
  // Taking bytes out emptied the read buffer.
  TBufferedSocketNotifyEvent OnReadBufferEmpty;
  // A receive filled the read buffer. A handler that takes bytes out prevents the
  // "Read buffer full, user did not flush" failure that follows otherwise.
  TBufferedSocketNotifyEvent OnReadBufferFull;
  // Bytes of the write buffer were sent.
  TBufferedSocketNotifyEvent OnWriteBufferChange;
  // Bytes were received into the read buffer.
  TBufferedSocketNotifyEvent OnReadBufferChange;
  // The send stream has been sent completely.
  TBufferedSocketNotifyEvent OnFileSent;
  // The receive stream has received all expected bytes.
  TBufferedSocketNotifyEvent OnFileReceived;

  // Buffer management. A size below the held count, or above 2147483647, fails
  // with "Cannot change buffer size - data will be lost."; a bigger size keeps
  // the held bytes in order.
  std::uint32_t ReadBufferSize() const { return ReadBuffer_.Capacity(); }
  void SetReadBufferSize(std::uint32_t NewSize);
  std::uint32_t WriteBufferSize() const { return WriteBuffer_.Capacity(); }
  void SetWriteBufferSize(std::uint32_t NewSize);
  // The size of one record; never above either buffer size when set.
  std::uint32_t RecordSize() const { return RecordSize_; }
  void SetRecordSize(std::uint32_t NewSize);
  int ReadCount() const { return ReadBuffer_.Count(); }
  int WriteCount() const { return WriteBuffer_.Count(); }
  int ReadBufferFree() const { return ReadBuffer_.Free(); }
  int WriteBufferFree() const { return WriteBuffer_.Free(); }
  // The held bytes, oldest first: ReadCount() and WriteCount() of them.
  const char* ReadBuffer() const { return ReadBuffer_.Data(); }
  const char* WriteBuffer() const { return WriteBuffer_.Data(); }
  // Drop the first Count held bytes (all of them when fewer are held); a Count
  // above the buffer's size fails. Emptying the buffer raises its empty event.
  void PullUpReadBuffer(std::uint32_t Count);
  void PullUpWriteBuffer(std::uint32_t Count);
  // The offset just behind the first whole Terminator among the held bytes from
  // offset From on, or kNotFound. A terminator cut off by the end of the held
  // bytes, and an empty terminator, are not found.
  int FindTerminator(std::string_view Terminator, int From) const;

  // Stream transfers: the small public way to start one.
  //
  // StartSendTransfer puts the stream's bytes from its position on into the write
  // buffer as room allows and flushes; every send of a later flush tops the
  // buffer up again, until the stream is exhausted and the buffer is empty: then
  // OnFileSent. StartReceiveTransfer moves the next Count received bytes (those
  // already held first) into the stream; once all have arrived, OnFileReceived.
  // Bytes outside a transfer pass through the buffers as usual. Starting a
  // transfer releases one of the same direction that is still active; Close
  // releases both without their events. The stream is borrowed, or owned when
  // passed as unique_ptr (freed when the transfer is released).
  void StartSendTransfer(TStream& Stream);
  void StartSendTransfer(std::unique_ptr<TStream> Stream);
  void StartReceiveTransfer(TStream& Stream, std::int64_t Count);
  void StartReceiveTransfer(std::unique_ptr<TStream> Stream, std::int64_t Count);
  bool Sending() const { return Sending_; }
  bool Receiving() const { return Receiving_; }
  TStream* SendStream() const { return SendStream_; }
  TStream* ReceiveStream() const { return ReceiveStream_; }
  bool OwnsSendStream() const { return OwnedSendStream_ != nullptr; }
  bool OwnsReceiveStream() const { return OwnedReceiveStream_ != nullptr; }
  // The receive stream's position at which the transfer is complete.
  std::int64_t ReceiveSize() const { return ReceiveSize_; }
  // The transfer hooks, run after each send of a flush and each receive of a fill.
  void SendFromStream();
  void ReceiveToStream();
  void ReleaseSendStream();
  void ReleaseReceiveStream();

  // The overrides of the stream socket.
  // Fills the read buffer, then raises OnRead.
  void DoRead() override;
  // Flushes the write buffer, then raises OnWrite.
  void DoWrite() override;
  // Always fail: a buffered socket sends and receives through its buffers.
  int Send(const void* Buffer, int Count) override;
  int Recv(void* Buffer, int Count) override;
  // A new connection starts without the bytes an earlier one left behind.
  void Connect(std::string HostName, std::string& Address, std::string ServiceName,
               winsock::u_short Port, sockets::TAsyncOptions Options) override;
  // Closes, then releases both streams. The held bytes stay.
  void Close() override;

  // The event operations.
  virtual void DoReadBufferEmpty();
  // OnReadBufferFull, then "Read buffer full, user did not flush" if still full.
  virtual void DoReadBufferFull();
  // Ends an exhausted send transfer (OnFileSent), then OnWriteBufferEmpty.
  virtual void DoWriteBufferEmpty();
  virtual void DoWriteBufferFull();
  virtual void DoWriteBufferChange();
  virtual void DoReadBufferChange();
  virtual void DoFileSent();
  virtual void DoFileReceived();

  // Reading: bytes leave the front of the read buffer.
  // Up to Count bytes; returns how many.
  virtual int Read(void* Buffer, std::uint32_t Count);
  virtual int ReadToStream(TStream& Stream, std::uint32_t Count);
  // All Size bytes (true) or none while fewer are held (false). A Size above the
  // buffer's size or of 0 fails.
  virtual bool ReadBlock(void* Buffer, std::uint32_t Size);
  virtual bool ReadRecord(void* Buffer);

  // Writing: bytes are appended to the write buffer; nothing is sent.
  // As much as fits; returns how many. A Count above the buffer's size fails.
  virtual int Write(const void* Buffer, std::uint32_t Count);
  virtual int WriteFromStream(TStream& Stream, std::uint32_t Count);
  // All Size bytes, or a failure when they do not fit the free space.
  virtual bool WriteBlock(const void* Buffer, std::uint32_t Size);
  virtual bool WriteRecord(const void* Buffer);

  // One string ended by Terminator: false, with nothing taken, until the whole
  // terminator is held. The terminator leaves the buffer with the string.
  virtual bool ReadString(std::string& Line, std::string_view Terminator, bool KeepTerminator);
  // Text and Terminator together, or nothing (false) when they do not fit.
  virtual bool WriteString(std::string_view Text, std::string_view Terminator);
  // ReadString into BufferSize chars, zero-terminated: false, with nothing taken,
  // while the string would not fit.
  virtual bool ReadPChar(char* Buffer, int BufferSize, std::string_view Terminator,
                         bool KeepTerminator);
  virtual bool WritePChar(const char* Text, std::string_view Terminator);

  // Sends held bytes until the connection takes no more; receives until it has
  // nothing more, the read buffer is full or the read budget is spent. A
  // connection reset by the peer ends in the disconnect handling; other socket
  // errors propagate. Filling a socket that is neither connected nor closing
  // fails with "Socket not open".
  virtual void FlushWriteBuffer();
  virtual void FillReadBuffer();

  // The bytes one fill receives at most (the last receive may pass it by up to
  // a buffer's size): kReadBudgetBytes unless a test sets a smaller one; at
  // least 1.
  std::uint32_t ReadBudget() const { return ReadBudget_; }
  void SetReadBudget(std::uint32_t Bytes) { ReadBudget_ = Bytes > 0 ? Bytes : 1; }

 protected:
  // Bytes waiting on the connection, uncut; tests replace it, and the library
  // calls beneath the checked send and receive, to run without a network.
  virtual std::uint32_t StreamPending();

  // The fill's receive loop, which also stops once the socket's received total
  // reaches `ReceivedLimit`, so that a caller repeating it keeps to one budget.
  void FillReadBufferUntil(std::uint64_t ReceivedLimit);

 private:
  // Runs one send or receive; a reset by the peer gives the disconnect handling
  // and -1.
  template <typename Transfer>
  int ResetEndsConnection(Transfer transfer);
  void AppendBytes(const void* Buffer, int Count);
  void RunSendTransfer(TStream& Stream);
  void RunReceiveTransfer(TStream& Stream, std::int64_t Count);

  TByteBlock ReadBuffer_;
  TByteBlock WriteBuffer_;
  std::uint32_t RecordSize_ = 16;
  TStream* SendStream_ = nullptr;
  TStream* ReceiveStream_ = nullptr;
  std::unique_ptr<TStream> OwnedSendStream_;
  std::unique_ptr<TStream> OwnedReceiveStream_;
  bool Sending_ = false;
  bool Receiving_ = false;
  std::int64_t ReceiveSize_ = 0;
  // Unsent bytes at the front of the write buffer that an ended connection left.
  int stale_write_count_ = 0;
  std::uint32_t ReadBudget_ = kReadBudgetBytes;
};

}  // namespace transport
