// TDatagramSocket: the UDP socket object. It holds an open handle for its whole
// life, a connect only fixes the default destination, and every datagram it
// sends is checked against the library's largest datagram first.
#pragma once

#include <string_view>

#include "sockets/socket_base.h"

namespace sockets {

class TDatagramSocket : public TSocketBase {
 public:
  // Opens the handle at once: ESockError when the library is not started or
  // the handle cannot be created.
  explicit TDatagramSocket(TSockCtrl* Owner);

  // To the connected destination; "Socket not open" without a connect.
  int Send(const void* Buffer, int Count) override;
  // Needs a handle, not a connection; 0 when the library would block.
  int Recv(void* Buffer, int Count) override;
  // Binds the handle and asks for read and write notifications; the socket's
  // state does not change and Backlog is not used.
  void Listen(std::string HostName, std::string& Address, std::string ServiceName,
              winsock::u_short Port, int Backlog) override;
  // Fixes the default destination and is connected at once.
  void Connect(std::string HostName, std::string& Address, std::string ServiceName,
               winsock::u_short Port, TAsyncOptions Options) override;
  // Closes the handle and opens a fresh, unbound and unregistered one.
  void Close() override;

  // SendTo with the owner's PortNumber.
  virtual int SendToHost(std::string_view Host, const void* Buffer, int Count);
  // To Host (dotted, or a name that is looked up first) and Port (host order);
  // the destination stays in Addr. Needs neither a connect nor a bind.
  virtual int SendTo(std::string_view Host, winsock::u_short Port, const void* Buffer, int Count);
  // From and FromLen go to the library unchanged: an IPv4 layout, too small
  // for an IPv6 sender.
  virtual int ReceiveFrom(void* Buffer, int Count, winsock::sockaddr_in* From, int* FromLen);
  // From a sender of either family, whose address goes to From.
  int ReceiveFrom(void* Buffer, int Count, TSockAddress& From);

 private:
  // Opens a handle when there is none.
  void CreateHandle();
  // "Datagram exceeds Winsock's max UDP packet size" above the library's limit;
  // a limit of 0 is no limit.
  void CheckSize(int Count) const;
};

}  // namespace sockets
