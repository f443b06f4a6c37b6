// The socket control's life, its socket object, and the operations it forwards
// to the socket object.
#include "sockets/sock_ctrl.h"

#include "platform/winsys/guarded_call.h"
#include "sockets/error_text.h"
#include "sockets/sock_error.h"
#include "sockets/socket_base.h"
#include "sockets/stream_socket.h"
#include "sockets/winsock_unit.h"

namespace sockets {

TSockCtrl::TSockCtrl(TComponent* AOwner) : TComponent(AOwner) {
  if (!Designing()) {
    WindowHandle_ = winsys::AllocateHWnd([this](winsys::HWND window, winsys::UINT msg,
                                                winsys::WPARAM wParam, winsys::LPARAM lParam) {
      TMessage message{msg, wParam, lParam, 0};
      return Dispatch(window, message);
    });
    try {
      StartWinsock();
    } catch (...) {
      winsys::DeallocateHWnd(WindowHandle_);
      throw;
    }
  }
  SetProtocol("tcp");
  SocketClass_ = TSocketClass::Of<TStreamSocket>();
  ++LiveControlCount;
}

TSockCtrl::~TSockCtrl() {
  StopTimeOut();
  Socket_.reset();
  AsyncRequests.clear();
  DeferredQueue.Drop(this);
  if (WindowHandle_ != 0) winsys::DeallocateHWnd(WindowHandle_);
  if (--LiveControlCount <= 0) winsys::CallGuarded([] { StopWinsock(); });
}

TSocketBase* TSockCtrl::GetSocket() {
  if (!Socket_) Socket_ = CreateSocket();
  return Socket_.get();
}

void TSockCtrl::SetSocketClass(TSocketClass NewClass) {
  if (NewClass != SocketClass_) {
    Socket_.reset();
    SocketClass_ = NewClass;
  }
  GetSocket();
}

std::unique_ptr<TSocketBase> TSockCtrl::CreateSocket() {
  if (!SocketClass_) RaiseSockError(0, kMsgNoSocketClass);
  return SocketClass_.Create(this);
}

winsock::HANDLE TSockCtrl::CheckAsyncHandle(winsock::HANDLE Handle, int MessageCode) {
  if (Handle == 0) RaiseSockError(WinsockAPI().WSAGetLastError(), MessageCode);
  return Handle;
}

winsock::WORD TSockCtrl::GetMaxUdpDg() const {
  return WSAData.iMaxUdpDg;
}

void TSockCtrl::StoreListeningPort(winsock::u_short Port) {
  PortNumber_ = Port;
  Port_ = std::to_string(Port);
}

void TSockCtrl::SocketDisconnected(TSocketBase*& Socket) {
  Socket->DoDisconnect();
}

void TSockCtrl::SocketInfo(TSocketBase* Socket, TSockInfo Code) {
  Socket->DoInfo(Code);
}

void TSockCtrl::SocketRead(TSocketBase*& Socket) {
  Socket->DoRead();
}

void TSockCtrl::SocketWrite(TSocketBase*& Socket) {
  Socket->DoWrite();
}

void TSockCtrl::SocketTimeOut(TSocketBase*& Socket) {
  // Set even without a socket object: a look-up wait ends on it.
  TimedOut_ = true;
  if (Socket != nullptr) Socket->DoTimeOut();
}

void TSockCtrl::CloseSocketObject() {
  TSocketBase* socket = Socket();
  if (socket == nullptr) return;
  StopTimeOut();
  socket->Close();
}

}  // namespace sockets
