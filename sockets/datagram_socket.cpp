// The UDP socket object: handle creation, connect, bind, and datagrams to the
// connected destination or to an explicit address.
#include "sockets/datagram_socket.h"

#include <string>

#include "sockets/address_text.h"
#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/short_string.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {
namespace {

const winsock::sockaddr* AsSockaddr(const winsock::sockaddr_in& address) {
  return reinterpret_cast<const winsock::sockaddr*>(&address);
}

}  // namespace

TDatagramSocket::TDatagramSocket(TSockCtrl* Owner) : TSocketBase(Owner) {
  SocketType_ = winsock::SOCK_DGRAM;
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  CreateHandle();
}

void TDatagramSocket::CreateHandle() {
  if (Handle_ != winsock::INVALID_SOCKET) return;
  Handle_ = winsock::SOCKET(CheckResult(
      std::intptr_t(WinsockAPI().socket(winsock::AF_INET, SocketType_, 0)), 0, kMsgCreatingSocket));
}

void TDatagramSocket::CheckSize(int Count) const {
  const winsock::WORD limit = Owner_->GetMaxUdpDg();
  if (limit != 0 && Count > limit) RaiseSockError(0, kMsgDatagramTooLong);
}

void TDatagramSocket::Connect(std::string HostName, std::string& Address, std::string ServiceName,
                              winsock::u_short Port, TAsyncOptions Options) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  if (GetConnected()) RaiseSockError(winsock::WSAEISCONN, 0);
  CreateHandle();

  // Every handler from here on may close or free this socket; the connect ends
  // where one did.
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  const auto still_open = [&] { return alive && Handle_ == handle; };

  Owner_->SocketInfo(this, siLookUp);
  if (!still_open()) return;
  ResolveAddress(HostName, Address, ServiceName, Port);
  PrepareSocket();
  WinsockAPI().WSAAsyncSelect(
      Handle_, Owner_->WindowHandle(), SM_SELECT,
      AsyncOptionsToEvents(Options) | winsock::FD_CONNECT | winsock::FD_CLOSE);
  Owner_->SocketInfo(this, siConnecting);
  if (!still_open()) return;
  try {
    CheckResult(WinsockAPI().connect(Handle_, AsSockaddr(Addr_), sizeof Addr_),
                winsock::WSAEWOULDBLOCK, kMsgConnecting);
  } catch (const ESockError&) {
    Close();
    throw;
  }
  State_ = ssConnected;
}

void TDatagramSocket::Listen(std::string HostName, std::string& Address, std::string ServiceName,
                             winsock::u_short Port, int) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  CreateHandle();
  ResolveAddress(HostName, Address, ServiceName, Port);
  PrepareSocket();
  try {
    CheckResult(WinsockAPI().bind(Handle_, AsSockaddr(Addr_), sizeof Addr_), 0, kMsgBindingSocket);
    Owner_->StoreListeningPort(GetLocalPort());
  } catch (const ESockError&) {
    Close();
    throw;
  }
  WinsockAPI().WSAAsyncSelect(Handle_, Owner_->WindowHandle(), SM_SELECT,
                              winsock::FD_READ | winsock::FD_WRITE);
}

int TDatagramSocket::Send(const void* Buffer, int Count) {
  if (!GetConnected()) RaiseSockError(0, kMsgSocketNotOpen);
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  Owner_->SocketInfo(this, siSending);
  // A handler that closed the socket took its destination with it.
  if (!alive || Handle_ == winsock::INVALID_SOCKET || Handle_ != handle) return 0;
  CheckSize(Count);
  return int(CheckResult(WinsockAPI().send(Handle_, static_cast<const char*>(Buffer), Count, 0),
                         winsock::WSAEWOULDBLOCK, kMsgSending));
}

int TDatagramSocket::SendToHost(std::string_view Host, const void* Buffer, int Count) {
  return SendTo(Host, Owner_->PortNumber(), Buffer, Count);
}

int TDatagramSocket::SendTo(std::string_view Host, winsock::u_short Port, const void* Buffer,
                            int Count) {
  const TLiveness::TWatch alive = Watch();
  Owner_->SocketInfo(this, siSending);
  if (!alive) return 0;
  CheckSize(Count);
  std::string host_name;
  std::string address;
  if (IsDottedAddress(Host)) {
    address = ShortString(Host);
  } else {
    host_name = ShortString(Host);
  }
  // A look-up in here raises when a handler closes or frees this socket.
  ResolveAddress(host_name, address, std::string(), Port);
  return int(CheckResult(WinsockAPI().sendto(Handle_, static_cast<const char*>(Buffer), Count, 0,
                                             AsSockaddr(Addr_), sizeof Addr_),
                         winsock::WSAEWOULDBLOCK, kMsgSending));
}

int TDatagramSocket::Recv(void* Buffer, int Count) {
  const TLiveness::TWatch alive = Watch();
  DoInfo(siReceiving);
  if (!alive) return 0;
  if (Handle_ == winsock::INVALID_SOCKET) RaiseSockError(0, kMsgSocketNotOpen);
  const int received =
      int(CheckResult(WinsockAPI().recv(Handle_, static_cast<char*>(Buffer), Count, 0),
                      winsock::WSAEWOULDBLOCK, kMsgReceiving));
  received_total_ += std::uint64_t(received);
  return received;
}

int TDatagramSocket::ReceiveFrom(void* Buffer, int Count, winsock::sockaddr_in* From,
                                 int* FromLen) {
  const TLiveness::TWatch alive = Watch();
  DoInfo(siReceiving);
  if (!alive) return 0;
  const int received =
      int(CheckResult(WinsockAPI().recvfrom(Handle_, static_cast<char*>(Buffer), Count, 0,
                                            reinterpret_cast<winsock::sockaddr*>(From), FromLen),
                      winsock::WSAEWOULDBLOCK, kMsgReceiving));
  received_total_ += std::uint64_t(received);
  return received;
}

void TDatagramSocket::Close() {
  const TLiveness::TWatch alive = Watch();
  TSocketBase::Close();
  // Unless a handler freed the socket or opened a handle of its own. A stopped
  // library has nothing to open a handle with.
  if (alive && Handle_ == winsock::INVALID_SOCKET && WinsockStarted()) CreateHandle();
}

}  // namespace sockets
