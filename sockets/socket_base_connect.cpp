// The connect a stream and a datagram socket share once they hold a handle.
#include "sockets/socket_base.h"

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {

bool TSocketBase::StartConnect(const std::string& HostName, std::string& Address,
                               const std::string& ServiceName, winsock::u_short Port,
                               TAsyncOptions Options, TConnectWay Way) {
  // Every handler from here on may close or free this socket; the connect ends
  // where one did.
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle_;
  const auto still_open = [&] { return alive && Handle_ == handle; };

  Owner_->SocketInfo(this, siLookUp);
  if (!still_open()) return false;
  try {
    ResolveAddress(HostName, Address, ServiceName, Port);
    PrepareSocket();
  } catch (...) {
    if (Way.CloseOnFailedLookUp && still_open()) Close();
    throw;
  }
  WinsockAPI().WSAAsyncSelect(
      Handle_, Owner_->WindowHandle(), SM_SELECT,
      AsyncOptionsToEvents(Options) | winsock::FD_CONNECT | winsock::FD_CLOSE);
  try {
    if (Way.TimeOut) Owner_->StartTimeOut();
    Owner_->SocketInfo(this, siConnecting);
    if (!still_open()) return false;
    try {
      CheckResult(WinsockAPI().connect(Handle_, reinterpret_cast<const winsock::sockaddr*>(&Addr_),
                                       sizeof Addr_),
                  winsock::WSAEWOULDBLOCK, kMsgConnecting);
    } catch (const ESockError&) {
      Close();
      throw;
    }
  } catch (...) {
    if (Way.TimeOut && alive) Owner_->StopTimeOut();
    throw;
  }
  return true;
}

}  // namespace sockets
