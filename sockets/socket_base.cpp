// The socket object's checked calls, address resolution, events and close.
#include "sockets/socket_base.h"

#include "sockets/client_socket.h"
#include "sockets/error_text.h"
#include "sockets/invalid_cast.h"
#include "sockets/raise_event.h"
#include "sockets/server_events.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/text_helpers.h"
#include "sockets/winsock_unit.h"

namespace sockets {

TSocketBase::TSocketBase(TSockCtrl* Owner) : Owner_(Owner) {
  Addr_.sin_family = winsock::AF_INET;
}

TSocketBase::~TSocketBase() {
  if (Handle_ == winsock::INVALID_SOCKET) return;
  Owner_->ClearTimeOut();
  // A stopped library has reset its sockets already.
  if (WinsockStarted()) WinsockAPI().closesocket(Handle_);
}

std::intptr_t TSocketBase::CheckResult(std::intptr_t Result, int Tolerated, int MessageCode) {
  if (Result != winsock::SOCKET_ERROR) {
    LastError_ = 0;
    return Result;
  }
  LastError_ = WinsockAPI().WSAGetLastError();
  if (LastError_ == Tolerated) return 0;
  RaiseSockError(LastError_, MessageCode);
}

void TSocketBase::ResolveAddress(const std::string& HostName, std::string& Address,
                                 const std::string& ServiceName, winsock::u_short& Port) {
  // A look-up runs the message loop, where a handler may close or free this
  // socket: what it resolved then belongs to no one.
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  const auto check_still_open = [&] {
    if (!alive || Handle_ != handle) RaiseSockError(winsock::WSAEINTR, 0);
  };

  AddressOut_ = &Address;
  NoteAttempts_ = !HostName.empty();
  if (!HostName.empty()) {
    std::vector<TSockAddress> addresses = Owner_->LookupHostAddresses(HostName, SocketType_);
    check_still_open();
    Addresses_ = std::move(addresses);
  } else if (Address.empty()) {
    RaiseSockError(0, kMsgNoAddress);
  } else {
    if (Owner_->AddressFamily() == afIPv6Only) RaiseSockError(0, kMsgNoIPv6Address);
    winsock::sockaddr_in address{};
    address.sin_family = winsock::AF_INET;
    address.sin_addr.s_addr = winsock::INADDR_ANY;
    if (Address != "0.0.0.0") address.sin_addr.s_addr = WinsockAPI().inet_addr(Address.c_str());
    Addresses_ = {TSockAddress::FromInet(address)};
  }
  if (!ServiceName.empty()) {
    Port = Owner_->LookupService(ServiceName);
    check_still_open();
  }
  for (TSockAddress& address : Addresses_) address.SetPort(Port);
  UseAddress(0);
}

void TSocketBase::UseAddress(std::size_t Index) {
  AddressIndex_ = Index;
  SockAddress_ = Addresses_[Index];
  Addr_ = SockAddress_.Inet();
  if (!NoteAttempts_ || AddressOut_ == nullptr) return;
  if (SockAddress_.Family() == winsock::AF_INET) {
    const char* dotted = WinsockAPI().inet_ntoa(Addr_.sin_addr);
    *AddressOut_ = ShortString(dotted != nullptr ? dotted : "");
  } else {
    AddressOut_->clear();
  }
}

void TSocketBase::Note(const std::string& Text) {
  if (NoteAttempts_) RaiseEvent(Owner_->OnAttempt, *Owner_, Text);
}

winsock::u_long TSocketBase::PendingBytes() {
  winsock::u_long count = 0;
  CheckResult(WinsockAPI().ioctlsocket(Handle_, winsock::FIONREAD, &count), 0,
              kMsgGettingReceiveCount);
  return count;
}

void TSocketBase::OpenHandle() {
  const int family =
      SockAddress_.Family() == winsock::AF_INET6 ? winsock::AF_INET6 : winsock::AF_INET;
  Handle_ = winsock::SOCKET(CheckResult(std::intptr_t(WinsockAPI().socket(family, SocketType_, 0)),
                                        0, kMsgCreatingSocket));
  HandleFamily_ = family;
}

void TSocketBase::ResolveDestination(const std::string& HostName, std::string& Address,
                                     winsock::u_short Port) {
  try {
    ResolveAddress(HostName, Address, std::string(), Port);
  } catch (...) {
    AddressOut_ = nullptr;
    throw;
  }
  // Address is the caller's, and the other addresses are no one's: no later
  // attempt writes to the one or moves on to the others.
  AddressOut_ = nullptr;
  std::size_t chosen = 0;
  while (chosen < Addresses_.size() && Addresses_[chosen].Family() != HandleFamily_) ++chosen;
  const bool none_of_family = chosen == Addresses_.size();
  Addresses_ = {Addresses_[none_of_family ? 0 : chosen]};
  UseAddress(0);
  if (!none_of_family) return;
  // A bound or connected handle is the socket's: a new one would not read.
  if (GetConnected() || GetLocalPort() != 0) {
    RaiseSockError(0, HandleFamily_ == winsock::AF_INET6 ? kMsgNoIPv6Address : kMsgNoIPv4Address);
  }
  MatchHandleFamily();
}

void TSocketBase::MatchHandleFamily() {
  const int family =
      SockAddress_.Family() == winsock::AF_INET6 ? winsock::AF_INET6 : winsock::AF_INET;
  if (Handle_ == winsock::INVALID_SOCKET || family == HandleFamily_) return;
  // The old handle stays when no new one can be had. Its notifications, if any
  // are still queued, no longer match the handle.
  const winsock::SOCKET previous = Handle_;
  OpenHandle();
  WinsockAPI().closesocket(previous);
}

int TSocketBase::CheckedSend(const void* Buffer, int Count, const TSockAddress* To) {
  if (Handle_ == winsock::INVALID_SOCKET || (To == nullptr && !GetConnected())) return 0;
  int sent;
  if (To == nullptr || To->Family() == winsock::AF_INET) {
    const winsock::sockaddr_in inet = To != nullptr ? To->Inet() : winsock::sockaddr_in{};
    sent = LibrarySend(Buffer, Count, To != nullptr ? &inet : nullptr);
  } else {
    // An IPv6 destination, past the IPv4 layout of LibrarySend.
    sent = WinsockAPI().sendto(Handle_, static_cast<const char*>(Buffer), Count, 0, To->Get(),
                               To->Length);
  }
  return int(CheckResult(sent, winsock::WSAEWOULDBLOCK, kMsgSending));
}

int TSocketBase::CheckedRecv(void* Buffer, int Count, winsock::sockaddr_in* From, int* FromLen) {
  if (Handle_ == winsock::INVALID_SOCKET) RaiseSockError(0, kMsgSocketNotOpen);
  const int received = int(CheckResult(LibraryRecv(Buffer, Count, From, FromLen),
                                       winsock::WSAEWOULDBLOCK, kMsgReceiving));
  received_total_ += std::uint64_t(received);
  return received;
}

int TSocketBase::LibrarySend(const void* Buffer, int Count, const winsock::sockaddr_in* To) {
  const char* bytes = static_cast<const char*>(Buffer);
  if (To == nullptr) return WinsockAPI().send(Handle_, bytes, Count, 0);
  return WinsockAPI().sendto(Handle_, bytes, Count, 0,
                             reinterpret_cast<const winsock::sockaddr*>(To), sizeof *To);
}

int TSocketBase::LibraryRecv(void* Buffer, int Count, winsock::sockaddr_in* From, int* FromLen) {
  char* bytes = static_cast<char*>(Buffer);
  if (From == nullptr && FromLen == nullptr) return WinsockAPI().recv(Handle_, bytes, Count, 0);
  return WinsockAPI().recvfrom(Handle_, bytes, Count, 0, reinterpret_cast<winsock::sockaddr*>(From),
                               FromLen);
}

winsock::u_short TSocketBase::BytesAvailable() {
  return winsock::u_short(PendingBytes());
}

winsock::u_short TSocketBase::GetLocalPort() {
  if (Handle_ == winsock::INVALID_SOCKET) return 0;
  tWinsockAPI& api = WinsockAPI();
  // Room for either family; the port lies at the same place in both.
  winsock::SOCKADDR_STORAGE local{};
  int length = sizeof local;
  try {
    CheckResult(api.getsockname(Handle_, reinterpret_cast<winsock::sockaddr*>(&local), &length), 0,
                kMsgCallingGetSockName);
  } catch (const ESockError&) {
    return 0;
  }
  return api.ntohs(reinterpret_cast<const winsock::sockaddr_in&>(local).sin_port);
}

void TSocketBase::DoRead() {
  RaiseEvent(Owner_->OnRead, *Owner_, this);
}

void TSocketBase::DoWrite() {
  RaiseEvent(Owner_->OnWrite, *Owner_, this);
}

void TSocketBase::DoAccept() {
  RaiseEvent(CheckedCast<TServerSocketEvents>(*Owner_).OnAccept, *Owner_, this);
}

void TSocketBase::DoConnect() {
  RaiseEvent(CheckedCast<TCustomClientSocket>(*Owner_).OnConnect, *Owner_, this);
}

void TSocketBase::DoDisconnect() {
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  DoInfo(siDisconnected);
  if (!alive) return;
  RaiseEvent(Owner_->OnDisconnect, *Owner_, this);
  // A handler may have freed the socket, or closed it and opened a new
  // connection that must stay open.
  if (alive && Handle_ == handle) Close();
}

void TSocketBase::DoInfo(TSockInfo Code) {
  if (Code == siListening) State_ = ssListening;
  if (Code == siClosed) State_ = ssClosed;
  RaiseEvent(Owner_->OnInfo, *Owner_, Code, this);
}

void TSocketBase::DoTimeOut() {
  RaiseEvent(Owner_->OnTimeOut, *Owner_, this);
}

void TSocketBase::DoReject() {
  RaiseEvent(CheckedCast<TServerSocketEvents>(*Owner_).OnReject, *Owner_, this);
}

std::string TSocketBase::GetName() {
  if (Name_.empty()) Name_ = "socket" + std::to_string(SocketNameCounter++);
  return Name_;
}

bool TSocketBase::GetConnected() const {
  return State_ == ssConnected;
}

void TSocketBase::SetSocketType(std::int32_t Value) {
  SocketType_ = Value;
}

void TSocketBase::PrepareSocket() {}

void TSocketBase::StopHandOver() {
  if (HandOver_) HandOver_->SetEnabled(false);
}

void TSocketBase::Close() {
  StopHandOver();
  if (!WinsockStarted() || Handle_ == winsock::INVALID_SOCKET) return;
  Owner_->ClearTimeOut();
  const bool was_connected = State_ == ssConnected;
  State_ = ssClosing;
  if (was_connected && Owner_->OnRead) {
    const TLiveness::TWatch alive = Watch();
    const winsock::SOCKET handle = Handle_;
    DrainInput();
    // A reading handler may have closed the socket itself, or freed it.
    if (!alive || Handle_ != handle) return;
  }
  WinsockAPI().closesocket(Handle_);
  // The handle goes before siClosed is reported, so that a handler that opens a
  // new connection from there keeps it; the close notice goes ahead of anything
  // that handler posts.
  Handle_ = winsock::INVALID_SOCKET;
  winsys::PostMessage(Owner_->WindowHandle(), SM_CLOSED, 0, reinterpret_cast<winsys::LPARAM>(this));
  DoInfo(siClosed);
}

// Raises OnRead while input waits. Stops as soon as a pass consumes nothing, so
// that a handler that does not read cannot hold the program here.
void TSocketBase::DrainInput() {
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  winsock::u_long waiting = InputWaiting();
  while (waiting > 0) {
    const std::uint64_t received_before = received_total_;
    TSocketBase* self = this;
    Owner_->SocketRead(self);
    if (!alive || Handle_ != handle) return;
    const winsock::u_long left = InputWaiting();
    if (left >= waiting && received_total_ == received_before) return;
    waiting = left;
  }
}

}  // namespace sockets
