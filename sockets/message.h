// A window message as the socket control's handlers receive it.
#pragma once

#include "platform/winsys/winsys.h"

namespace sockets {

struct TMessage {
  winsys::UINT Msg = 0;
  winsys::WPARAM WParam = 0;
  winsys::LPARAM LParam = 0;
  winsys::LRESULT Result = 0;
};

}  // namespace sockets
