// The events only a server component raises for its sockets. The server
// component carries them; a socket object finds them through its owner.
#pragma once

#include "sockets/sock_ctrl.h"

namespace sockets {

class TServerSocketEvents {
 public:
  virtual ~TServerSocketEvents() = default;

  TSocketEvent OnAccept;
  TSocketEvent OnReject;
};

}  // namespace sockets
