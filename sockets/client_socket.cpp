// The client component: open, close, and the notifications of its connection.
#include "sockets/client_socket.h"

#include "sockets/error_text.h"
#include "sockets/sock_error.h"
#include "sockets/socket_base.h"

namespace sockets {

TCustomClientSocket::TCustomClientSocket(TComponent* AOwner) : TSockCtrl(AOwner) {}

void TCustomClientSocket::Open(TSocketClass SocketClass) {
  if (Connected()) RaiseSockError(0, kMsgSocketAlreadyOpened);
  SetSocketClass(SocketClass);
  Socket()->Connect(HostName_, DottedAddress_, ServiceName_, PortNumber_, Options_);
}

void TCustomClientSocket::Close() {
  CloseSocketObject();
}

bool TCustomClientSocket::Connected() const {
  return Socket() != nullptr && Socket()->GetConnected();
}

void TCustomClientSocket::SelectEvent(TMessage& Message) {
  TSocketBase* socket = Socket();
  // Notifications of an earlier socket may still arrive.
  if (socket == nullptr || socket->Handle() == winsock::INVALID_SOCKET ||
      Message.WParam != socket->Handle()) {
    return;
  }
  socket->SetLastError(winsock::WSAGETSELECTERROR(Message.LParam));
  switch (winsock::WSAGETSELECTEVENT(Message.LParam)) {
    case winsock::FD_READ:
      if (!socket->GetConnected()) {
        const TLiveness::TWatch alive = socket->Watch();
        SocketConnected(socket);
        // OnConnect may have closed or freed the socket.
        if (!alive || socket->Handle() != Message.WParam) return;
      }
      SocketRead(socket);
      break;
    case winsock::FD_WRITE:
      SocketWrite(socket);
      break;
    case winsock::FD_CONNECT:
      if (socket->GetConnected()) break;
      // A failed attempt gives way to the name's next address, if it has one.
      if (socket->LastError() != 0 && socket->TryNextAddress(ErrorText(socket->LastError()))) {
        break;
      }
      SocketConnected(socket);
      break;
    case winsock::FD_CLOSE:
      SocketDisconnected(socket);
      break;
    default:
      break;
  }
}

void TCustomClientSocket::SocketConnected(TSocketBase*& Socket) {
  StopTimeOut();
  Socket->StopHandOver();
  if (Socket->LastError() == 0) {
    const TLiveness::TWatch alive = Socket->Watch();
    Socket->SetState(ssConnected);
    SocketInfo(Socket, siConnected);
    if (!alive) return;
  }
  Socket->DoConnect();
}

void TCustomClientSocket::SocketDisconnected(TSocketBase*& Socket) {
  if (Socket->GetConnected()) StopTimeOut();
  TSockCtrl::SocketDisconnected(Socket);
}

}  // namespace sockets
