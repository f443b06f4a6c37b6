// TCustomClientSocket: the socket control for one outgoing TCP connection. It
// opens its socket object with the address and service set as text, routes the
// connection's notifications to it and reports the outcome through OnConnect.
#pragma once

#include "sockets/async_options.h"
#include "sockets/sock_ctrl.h"

namespace sockets {

class TCustomClientSocket : public TSockCtrl {
 public:
  explicit TCustomClientSocket(TComponent* AOwner);

  // Raised after every connect attempt; a failed one leaves the socket
  // unconnected, with the error in its LastError.
  TSocketEvent OnConnect;

  // The readiness notifications the connection asks for.
  TAsyncOptions Options() const { return Options_; }
  void SetOptions(TAsyncOptions Value) { Options_ = Value; }

  // Starts a connect with a socket object of SocketClass; ESockError "Socket
  // Already opened" while connected. Look-up and connect errors propagate.
  void Open(TSocketClass SocketClass);
  // Closes the socket object, which stays for the next Open.
  void Close();
  bool Connected() const;

  void SelectEvent(TMessage& Message) override;
  void SocketDisconnected(TSocketBase*& Socket) override;
  virtual void SocketConnected(TSocketBase*& Socket);

 private:
  TAsyncOptions Options_{csoRead, csoWrite};
};

}  // namespace sockets
