// The server component's life, listening, and the routing of its notifications
// and close notices.
#include "sockets/server_socket.h"

#include <optional>

#include "sockets/datagram_socket.h"
#include "sockets/error_text.h"
#include "sockets/raise_event.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/stream_socket.h"

namespace sockets {
namespace {

// Connections that may wait to be accepted.
constexpr int kListenBacklog = 5;

}  // namespace

TCustomBasicServerSocket::TCustomBasicServerSocket(TComponent* AOwner) : TSockCtrl(AOwner) {}

TCustomBasicServerSocket::~TCustomBasicServerSocket() = default;

void TCustomBasicServerSocket::Open(TSocketClass SocketClass) {
  if (Listening()) RaiseSockError(0, kMsgSocketAlreadyOpened);
  SetSocketClass(SocketClass);
  TSocketBase* listener = Socket();
  const TLiveness::TWatch alive = listener->Watch();
  listener->Listen(HostName_, DottedAddress_, ServiceName_, PortNumber_, kListenBacklog);
  if (alive) listening_handle_ = listener->Handle();
}

void TCustomBasicServerSocket::Close() {
  CloseSocketObject();
}

// The library never gives a handle out twice, so a socket closed and opened
// again has another handle.
bool TCustomBasicServerSocket::Listening() const {
  const TSocketBase* listener = Socket();
  return listener != nullptr && listener->Handle() != winsock::INVALID_SOCKET &&
         listener->Handle() == listening_handle_;
}

TCustomBasicServerSocket::TNotifiedSockets TCustomBasicServerSocket::NotifiedSockets() {
  // Asking a class for its ancestry is slow; the class rarely changes.
  if (SocketClass() != notified_class_) {
    notified_class_ = SocketClass();
    if (notified_class_.InheritsFrom(TSocketClass::Of<TStreamSocket>())) {
      notified_sockets_ = TNotifiedSockets::kConnections;
    } else if (notified_class_.InheritsFrom(TSocketClass::Of<TDatagramSocket>())) {
      notified_sockets_ = TNotifiedSockets::kOwnSocket;
    } else {
      notified_sockets_ = TNotifiedSockets::kNone;
    }
  }
  return notified_sockets_;
}

TSocketBase* TCustomBasicServerSocket::FindConnection(winsock::SOCKET Handle) const {
  if (Handle == winsock::INVALID_SOCKET) return nullptr;
  for (std::size_t i = 0; i < Connections_.Count(); ++i) {
    if (Connections_.Items(i)->Handle() == Handle) return Connections_.Items(i);
  }
  return nullptr;
}

void TCustomBasicServerSocket::SelectEvent(TMessage& Message) {
  const winsock::WORD event = winsock::WSAGETSELECTEVENT(Message.LParam);
  if (event == winsock::FD_ACCEPT) {
    TSocketBase* accepted = nullptr;
    AcceptConnection(accepted);
    return;
  }
  TSocketBase* socket = nullptr;
  switch (NotifiedSockets()) {
    case TNotifiedSockets::kConnections:
      socket = FindConnection(Message.WParam);
      if (socket == nullptr) {
        RaiseEvent(OnInfo, *this, siNoSuchSocket, nullptr);
        return;
      }
      break;
    case TNotifiedSockets::kOwnSocket:
      socket = GetSocket();
      // Still queued for a handle closed since: the fresh handle has not asked.
      if (Message.WParam != socket->Handle()) return;
      break;
    case TNotifiedSockets::kNone:
      // A socket class of neither kind: no socket to hand the notification to.
      return;
  }
  socket->SetLastError(winsock::WSAGETSELECTERROR(Message.LParam));
  switch (event) {
    case winsock::FD_READ:
      SocketRead(socket);
      break;
    case winsock::FD_WRITE:
      SocketWrite(socket);
      break;
    case winsock::FD_CLOSE:
      SocketDisconnected(socket);
      break;
    default:
      break;
  }
}

// The socket control's own handling would let go of every notification held
// back for this control, those of the other connections and of the listening
// socket among them; those would then never come again. Held-back
// notifications of a closed connection find no connection and are reported as
// siNoSuchSocket instead.
void TCustomBasicServerSocket::SocketClosed(TSocketBase* Socket) {
  if (Socket == nullptr) {
    // A release notice: the close notices of the oldest released connection
    // were all handled before it.
    if (!released_.empty()) released_.pop_front();
    return;
  }
  // Socket may point to a freed object: only a connection still held is used.
  // One that a handler has opened again since its close stays.
  const std::optional<std::size_t> index = Connections_.IndexOf(Socket);
  if (!index || Connections_.Items(*index)->Handle() != winsock::INVALID_SOCKET) return;
  released_.push_back(Connections_.Extract(*index));
  if (!winsys::PostMessage(WindowHandle(), SM_CLOSED, 0, 0)) released_.pop_back();
}

void TCustomBasicServerSocket::SocketDisconnected(TSocketBase*& Socket) {
  if (!Socket->GetConnected()) return;
  StopTimeOut();
  TSockCtrl::SocketDisconnected(Socket);
}

}  // namespace sockets
