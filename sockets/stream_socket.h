// TStreamSocket: the TCP socket object. Every socket it opens is non-blocking and
// reports to its owner's window, so connect, accept, read, write and close all
// complete later as notifications.
#pragma once

#include "sockets/socket_base.h"

namespace sockets {

class TStreamSocket : public TSocketBase {
 public:
  using TSocketBase::TSocketBase;

  // Only SOCK_STREAM; anything else raises ESockError.
  void SetSocketType(std::int32_t Value) override;
  // 0 for a count of 0, on a socket that is not connected, and when the library
  // would block.
  int Send(const void* Buffer, int Count) override;
  // 0 at the end of the stream and when the library would block; ESockError on a
  // socket that is neither connected nor closing.
  int Recv(void* Buffer, int Count) override;
  void Listen(std::string HostName, std::string& Address, std::string ServiceName,
              winsock::u_short Port, int Backlog) override;
  // Starts a non-blocking connect; the outcome arrives as a notification. A
  // socket still open from an earlier connect or listen is closed first.
  void Connect(std::string HostName, std::string& Address, std::string ServiceName,
               winsock::u_short Port, TAsyncOptions Options) override;
  // Also stops the owner's time-out.
  void Close() override;

 private:
  // Closes a socket still open, then opens a new one. False when a handler of
  // that close freed this object or opened a socket of its own on it.
  bool OpenNewHandle();
};

}  // namespace sockets
