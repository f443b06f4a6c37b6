// The UDP socket object: handle creation, connect, bind, and datagrams to the
// connected destination or to an explicit address.
#include "sockets/datagram_socket.h"

#include <string>

#include "sockets/address_text.h"
#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/text_helpers.h"
#include "sockets/winsock_unit.h"

namespace sockets {
TDatagramSocket::TDatagramSocket(TSockCtrl* Owner) : TSocketBase(Owner) {
  TSocketBase::SetSocketType(winsock::SOCK_DGRAM);
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  CreateHandle();
}

void TDatagramSocket::CreateHandle() {
  if (Handle() == winsock::INVALID_SOCKET) OpenHandle();
}

void TDatagramSocket::CheckSize(int Count) const {
  const winsock::WORD limit = Owner()->GetMaxUdpDg();
  if (limit != 0 && Count > limit) RaiseSockError(0, kMsgDatagramTooLong);
}

void TDatagramSocket::Connect(std::string HostName, std::string& Address, std::string ServiceName,
                              winsock::u_short Port, TAsyncOptions Options) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  if (GetConnected()) RaiseSockError(winsock::WSAEISCONN, 0);
  CreateHandle();
  // The handle outlives a failed look-up: it is the socket's for its whole life.
  if (StartConnect(HostName, Address, ServiceName, Port, Options,
                   {.CloseOnFailedLookUp = false, .TimeOut = false})) {
    SetState(ssConnected);
  }
}

void TDatagramSocket::Listen(std::string HostName, std::string& Address, std::string ServiceName,
                             winsock::u_short Port, int) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  CreateHandle();
  ResolveAddress(HostName, Address, ServiceName, Port);
  MatchHandleFamily();
  PrepareSocket();
  try {
    CheckResult(WinsockAPI().bind(Handle(), SockAddress().Get(), SockAddress().Length), 0,
                kMsgBindingSocket);
    Owner()->StoreListeningPort(GetLocalPort());
  } catch (const ESockError&) {
    Close();
    throw;
  }
  WinsockAPI().WSAAsyncSelect(Handle(), Owner()->WindowHandle(), SM_SELECT,
                              winsock::FD_READ | winsock::FD_WRITE);
}

int TDatagramSocket::Send(const void* Buffer, int Count) {
  if (!GetConnected()) RaiseSockError(0, kMsgSocketNotOpen);
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle();
  Owner()->SocketInfo(this, siSending);
  // A handler that closed the socket took its destination with it.
  if (!alive || Handle() != handle) return 0;
  CheckSize(Count);
  return CheckedSend(Buffer, Count);
}

int TDatagramSocket::SendToHost(std::string_view Host, const void* Buffer, int Count) {
  return SendTo(Host, Owner()->PortNumber(), Buffer, Count);
}

int TDatagramSocket::SendTo(std::string_view Host, winsock::u_short Port, const void* Buffer,
                            int Count) {
  const TLiveness::TWatch alive = Watch();
  Owner()->SocketInfo(this, siSending);
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
  ResolveDestination(host_name, address, Port);
  return CheckedSend(Buffer, Count, &SockAddress());
}

int TDatagramSocket::Recv(void* Buffer, int Count) {
  const TLiveness::TWatch alive = Watch();
  DoInfo(siReceiving);
  if (!alive) return 0;
  return CheckedRecv(Buffer, Count);
}

int TDatagramSocket::ReceiveFrom(void* Buffer, int Count, winsock::sockaddr_in* From,
                                 int* FromLen) {
  const TLiveness::TWatch alive = Watch();
  DoInfo(siReceiving);
  if (!alive) return 0;
  return CheckedRecv(Buffer, Count, From, FromLen);
}

int TDatagramSocket::ReceiveFrom(void* Buffer, int Count, TSockAddress& From) {
  From = TSockAddress{};
  From.Length = sizeof From.Storage;
  // The library writes the sender in its own family's layout, whatever the
  // pointer's type: the storage has room for both.
  return ReceiveFrom(Buffer, Count, reinterpret_cast<winsock::sockaddr_in*>(&From.Storage),
                     &From.Length);
}

void TDatagramSocket::Close() {
  const TLiveness::TWatch alive = Watch();
  TSocketBase::Close();
  // Unless a handler freed the socket or opened a handle of its own. A stopped
  // library has nothing to open a handle with.
  if (alive && Handle() == winsock::INVALID_SOCKET && WinsockStarted()) CreateHandle();
}

}  // namespace sockets
