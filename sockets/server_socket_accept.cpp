// The server component's decision on a new connection: the connection limit,
// the reverse look-up of the peer and the address filter, then OnAccept or
// OnReject.
#include <cstdint>
#include <memory>

#include "sockets/address_text.h"
#include "sockets/exceptions.h"
#include "sockets/server_socket.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {

void TCustomBasicServerSocket::AcceptConnection(TSocketBase*& Socket) {
  Socket = nullptr;
  std::unique_ptr<TSocketBase> created = CreateSocket();
  const TSocketBase* listener = TSockCtrl::Socket();
  if (listener == nullptr) return;
  TSockAddress& peer = created->SockAddress_;
  peer.Length = sizeof peer.Storage;
  const winsock::SOCKET handle = WinsockAPI().accept(
      listener->Handle(), reinterpret_cast<winsock::sockaddr*>(&peer.Storage), &peer.Length);
  if (handle == winsock::INVALID_SOCKET) return;
  created->Addr_ = peer.Inet();
  created->AdoptHandle(handle);
  Socket = Connections_.Add(std::move(created));
  WinsockAPI().WSAAsyncSelect(handle, WindowHandle(), SM_SELECT,
                              AsyncOptionsToEvents(Options_) | winsock::FD_CLOSE);
  Socket->SetState(ssConnected);

  // Look-ups run the message loop and every event runs a handler: any of them
  // may close or free the connection, or free this control with it.
  const TLiveness::TWatch alive = Socket->Watch();
  const auto still_open = [&] {
    if (!alive) Socket = nullptr;
    return alive && Socket->Handle() == handle;
  };

  bool refuse = std::int64_t(Connections_.Count()) > MaxConnections_;
  if (!refuse) {
    const std::string address = Socket->SockAddress().Family() == winsock::AF_INET6
                                    ? AddressText(Socket->SockAddress())
                                    : AddressToText(Socket->Addr()).Address;
    if (LookupPeerName_) {
      try {
        refuse = LookupHostName(address).empty();
      } catch (const ESockError&) {
        refuse = true;
      }
      if (!still_open()) return;
    }
    if (!refuse) {
      try {
        refuse = AddressMatches(address) == (FilterMode_ == kFilterRefusesListed);
      } catch (...) {
        // A peer the filter could not judge is not let in.
        if (still_open()) CloseRefused(Socket);
        throw;
      }
      if (!still_open()) return;
    }
  }

  if (refuse) {
    SocketInfo(Socket, siRejecting);
    if (still_open()) RejectConnection(Socket);
  } else {
    SocketInfo(Socket, siAccepting);
    if (still_open()) Socket->DoAccept();
  }
}

void TCustomBasicServerSocket::RejectConnection(TSocketBase*& Socket) {
  const TLiveness::TWatch alive = Socket->Watch();
  const winsock::SOCKET handle = Socket->Handle();
  Socket->DoReject();
  if (alive && Socket->Handle() == handle) CloseRefused(Socket);
}

void TCustomBasicServerSocket::CloseRefused(TSocketBase* Socket) {
  // Closing a connected socket first hands what waits on it to OnRead: a
  // refused peer's data must not reach the application that way.
  if (Socket->GetConnected()) Socket->SetState(ssClosed);
  Socket->Close();
}

}  // namespace sockets
