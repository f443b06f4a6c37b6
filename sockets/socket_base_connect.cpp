// The connect a stream and a datagram socket share once they hold a handle.
#include "sockets/socket_base.h"

#include "platform/winsys/guarded_call.h"
#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/raise_event.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {

namespace {

// How long an attempt may go unanswered before the next address takes over.
constexpr unsigned kHandOverMs = 2000;

}  // namespace

bool TSocketBase::StartConnect(const std::string& HostName, std::string& Address,
                               const std::string& ServiceName, winsock::u_short Port,
                               TAsyncOptions Options, TConnectWay Way) {
  // Every handler from here on may close or free this socket; the connect ends
  // where one did.
  const TLiveness::TWatch alive = Watch();
  winsock::SOCKET handle = Handle_;
  const auto still_open = [&] { return alive && Handle_ == handle; };

  StopHandOver();
  Owner_->SocketInfo(this, siLookUp);
  if (!still_open()) return false;
  int open_error = 0;  // of an address with no handle to be had
  try {
    ResolveAddress(HostName, Address, ServiceName, Port);
    try {
      MatchHandleFamily();
    } catch (const ESockError&) {
      // It fails at once, and the next address takes over.
      if (!Way.TryEveryAddress || AddressIndex_ + 1 >= Addresses_.size()) throw;
      open_error = LastError_;
    }
    handle = Handle_;
    PrepareSocket();
  } catch (...) {
    if (Way.CloseOnFailedLookUp && still_open()) Close();
    throw;
  }
  // Only a stream tries the addresses after the first.
  if (!Way.TryEveryAddress) Addresses_.resize(1);
  ConnectEvents_ = AsyncOptionsToEvents(Options) | winsock::FD_CONNECT | winsock::FD_CLOSE;
  WinsockAPI().WSAAsyncSelect(Handle_, Owner_->WindowHandle(), SM_SELECT, ConnectEvents_);
  try {
    if (Way.TimeOut) Owner_->StartTimeOut();
    Owner_->SocketInfo(this, siConnecting);
    if (!still_open()) return false;
    Note("connecting to " + EndpointText(SockAddress_));
    if (!still_open()) return false;
    if (open_error != 0) LastError_ = open_error;
    if ((open_error != 0 || !ConnectHandle()) && !TryNextAddress(ErrorText(LastError()))) {
      if (still_open()) Close();
      if (alive) RaiseSockError(LastError(), kMsgConnecting);
      return false;
    }
  } catch (...) {
    if (Way.TimeOut && alive) Owner_->StopTimeOut();
    throw;
  }
  return still_open() || (alive && Handle_ != winsock::INVALID_SOCKET);
}

bool TSocketBase::ConnectHandle() {
  const int result = WinsockAPI().connect(Handle_, SockAddress_.Get(), SockAddress_.Length);
  LastError_ = result == winsock::SOCKET_ERROR ? WinsockAPI().WSAGetLastError() : 0;
  if (LastError_ != 0 && LastError_ != winsock::WSAEWOULDBLOCK) return false;
  LastError_ = 0;
  if (AddressIndex_ + 1 < Addresses_.size()) {
    if (!HandOver_) HandOver_ = std::make_unique<winsys::TTimer>(kHandOverMs);
    HandOver_->SetHandler([this] {
      StopHandOver();
      winsys::CallGuarded([this] {
        if (Handle_ != winsock::INVALID_SOCKET && State_ != ssConnected) {
          TryNextAddress("no answer after " + std::to_string(kHandOverMs / 1000) + " s");
        }
      });
    });
    HandOver_->SetEnabled(true);
  }
  return true;
}

bool TSocketBase::TryNextAddress(const std::string& Why) {
  const TLiveness::TWatch alive = Watch();
  const auto ended = [&] { return !alive || Handle_ == winsock::INVALID_SOCKET; };
  StopHandOver();
  const std::string from = EndpointText(SockAddress_) + ": " + Why;
  if (AddressIndex_ + 1 >= Addresses_.size()) {
    Note(from);
    // An OnAttempt handler may have closed or freed the socket: nothing to report.
    return ended();
  }
  UseAddress(AddressIndex_ + 1);
  Note(from + "; trying " + EndpointText(SockAddress_));
  if (ended()) return true;
  // The attempt that failed or stayed silent goes with its handle, once the
  // next address has one.
  const winsock::SOCKET previous = Handle_;
  bool opened = true;
  try {
    OpenHandle();
  } catch (const ESockError&) {
    // No handle for this address (its family unsupported, no descriptors
    // left): it fails at once, told on the previous handle, silenced first.
    WinsockAPI().WSAAsyncSelect(previous, Owner_->WindowHandle(), 0, 0);
    opened = false;
  }
  if (opened) {
    WinsockAPI().closesocket(previous);
    WinsockAPI().WSAAsyncSelect(Handle_, Owner_->WindowHandle(), SM_SELECT, ConnectEvents_);
  }
  if (!opened || !ConnectHandle()) {
    // Failed at once: told as the library tells a failed connect, so that it
    // takes the same way on (the next address, or the failure reported).
    winsys::PostMessage(
        Owner_->WindowHandle(), SM_SELECT, Handle_,
        winsock::WSAMAKESELECTREPLY(winsock::FD_CONNECT, winsock::WORD(LastError_)));
  }
  return true;
}

}  // namespace sockets
