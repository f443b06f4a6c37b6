// The TCP socket object: connect, listen, send, receive and close.
#include "sockets/stream_socket.h"

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
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

void TStreamSocket::SetSocketType(std::int32_t Value) {
  if (Value != winsock::SOCK_STREAM) RaiseSockError(0, kMsgInvalidStreamType);
  TSocketBase::SetSocketType(Value);
}

bool TStreamSocket::OpenNewHandle() {
  if (Handle_ != winsock::INVALID_SOCKET) {
    const TLiveness::TWatch alive = Watch();
    Close();
    if (!alive || Handle_ != winsock::INVALID_SOCKET) return false;
  }
  Handle_ = winsock::SOCKET(CheckResult(
      std::intptr_t(WinsockAPI().socket(winsock::AF_INET, SocketType_, 0)), 0, kMsgCreatingSocket));
  return true;
}

void TStreamSocket::Connect(std::string HostName, std::string& Address, std::string ServiceName,
                            winsock::u_short Port, TAsyncOptions Options) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  if (GetConnected()) RaiseSockError(winsock::WSAEISCONN, 0);
  if (!OpenNewHandle()) return;

  // Every handler from here on may close or free this socket; the connect ends
  // where one did.
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  const auto still_open = [&] { return alive && Handle_ == handle; };

  DoInfo(siLookUp);
  if (!still_open()) return;
  try {
    ResolveAddress(HostName, Address, ServiceName, Port);
    PrepareSocket();
  } catch (...) {
    // The socket this connect opened must not outlive its failure.
    if (still_open()) Close();
    throw;
  }
  WinsockAPI().WSAAsyncSelect(
      Handle_, Owner_->WindowHandle(), SM_SELECT,
      AsyncOptionsToEvents(Options) | winsock::FD_CONNECT | winsock::FD_CLOSE);
  try {
    Owner_->StartTimeOut();
    DoInfo(siConnecting);
    if (!still_open()) return;
    try {
      CheckResult(WinsockAPI().connect(Handle_, AsSockaddr(Addr_), sizeof Addr_),
                  winsock::WSAEWOULDBLOCK, kMsgConnecting);
    } catch (const ESockError&) {
      Close();
      throw;
    }
  } catch (...) {
    if (alive) Owner_->StopTimeOut();
    throw;
  }
}

void TStreamSocket::Listen(std::string HostName, std::string& Address, std::string ServiceName,
                           winsock::u_short Port, int Backlog) {
  if (!WinsockStarted()) RaiseSockError(winsock::WSANOTINITIALISED, 0);
  if (!OpenNewHandle()) return;

  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  const auto still_open = [&] { return alive && Handle_ == handle; };

  try {
    ResolveAddress(HostName, Address, ServiceName, Port);
    PrepareSocket();
    CheckResult(WinsockAPI().bind(Handle_, AsSockaddr(Addr_), sizeof Addr_), 0, kMsgBindingSocket);
    Owner_->StoreListeningPort(GetLocalPort());
  } catch (...) {
    if (still_open()) Close();
    throw;
  }
  WinsockAPI().WSAAsyncSelect(Handle_, Owner_->WindowHandle(), SM_SELECT,
                              winsock::FD_ACCEPT | winsock::FD_CLOSE);
  try {
    CheckResult(WinsockAPI().listen(Handle_, Backlog), 0, kMsgListening);
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
  if (!alive || Handle_ == winsock::INVALID_SOCKET || !GetConnected()) return 0;
  return int(CheckResult(WinsockAPI().send(Handle_, static_cast<const char*>(Buffer), Count, 0),
                         winsock::WSAEWOULDBLOCK, kMsgSending));
}

int TStreamSocket::Recv(void* Buffer, int Count) {
  const TLiveness::TWatch alive = Watch();
  DoInfo(siReceiving);
  if (!alive) return 0;
  if (Handle_ == winsock::INVALID_SOCKET || (State_ != ssConnected && State_ != ssClosing)) {
    RaiseSockError(0, kMsgSocketNotOpen);
  }
  const int received =
      int(CheckResult(WinsockAPI().recv(Handle_, static_cast<char*>(Buffer), Count, 0),
                      winsock::WSAEWOULDBLOCK, kMsgReceiving));
  received_total_ += std::uint64_t(received);
  return received;
}

void TStreamSocket::Close() {
  const TLiveness::TWatch alive = Watch();
  TSocketBase::Close();
  // Unless a handler of siClosed opened a new connection, whose time-out runs.
  if (alive && Handle_ == winsock::INVALID_SOCKET) Owner_->StopTimeOut();
}

}  // namespace sockets
