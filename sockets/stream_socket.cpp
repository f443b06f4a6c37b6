// The TCP socket object: connect, listen, send, receive and close.
#include "sockets/stream_socket.h"

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {
void TStreamSocket::SetSocketType(std::int32_t Value) {
  if (Value != winsock::SOCK_STREAM) RaiseSockError(0, kMsgInvalidStreamType);
  TSocketBase::SetSocketType(Value);
}

bool TStreamSocket::OpenNewHandle() {
  if (Handle() != winsock::INVALID_SOCKET) {
    const TLiveness::TWatch alive = Watch();
    Close();
    if (!alive || Handle() != winsock::INVALID_SOCKET) return false;
  }
  OpenHandle();
  return true;
}

void TStreamSocket::Connect(std::string HostName, std::string& Address, std::string ServiceName,
                            winsock::u_short Port, TAsyncOptions Options) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  if (GetConnected()) RaiseSockError(winsock::WSAEISCONN, 0);
  if (!OpenNewHandle()) return;
  StartConnect(HostName, Address, ServiceName, Port, Options,
               {.CloseOnFailedLookUp = true, .TimeOut = true, .TryEveryAddress = true});
}

void TStreamSocket::Listen(std::string HostName, std::string& Address, std::string ServiceName,
                           winsock::u_short Port, int Backlog) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  if (!OpenNewHandle()) return;

  const TLiveness::TWatch alive = Watch();
  winsock::SOCKET handle = Handle();
  const auto still_open = [&] { return alive && Handle() == handle; };

  try {
    ResolveAddress(HostName, Address, ServiceName, Port);
    MatchHandleFamily();
    handle = Handle();
    PrepareSocket();
    CheckResult(WinsockAPI().bind(Handle(), SockAddress().Get(), SockAddress().Length), 0,
                kMsgBindingSocket);
    Owner()->StoreListeningPort(GetLocalPort());
  } catch (...) {
    if (still_open()) Close();
    throw;
  }
  WinsockAPI().WSAAsyncSelect(Handle(), Owner()->WindowHandle(), SM_SELECT,
                              winsock::FD_ACCEPT | winsock::FD_CLOSE);
  try {
    CheckResult(WinsockAPI().listen(Handle(), Backlog), 0, kMsgListening);
    DoInfo(siListening);
  } catch (const ESockError&) {
    if (still_open()) Close();
    throw;
  }
}

int TStreamSocket::Send(const void* Buffer, int Count) {
  if (Count == 0) return 0;
  const TLiveness::TWatch alive = Watch();
  DoInfo(siSending);
  if (!alive) return 0;
  return CheckedSend(Buffer, Count);
}

int TStreamSocket::Recv(void* Buffer, int Count) {
  const TLiveness::TWatch alive = Watch();
  DoInfo(siReceiving);
  if (!alive) return 0;
  if (State() != ssConnected && State() != ssClosing) RaiseSockError(0, kMsgSocketNotOpen);
  return CheckedRecv(Buffer, Count);
}

void TStreamSocket::Close() {
  const TLiveness::TWatch alive = Watch();
  TSocketBase::Close();
  // Unless a handler of siClosed opened a new connection, whose time-out runs.
  if (alive && Handle() == winsock::INVALID_SOCKET) Owner()->StopTimeOut();
}

}  // namespace sockets
