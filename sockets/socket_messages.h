// The messages of a socket control's hidden window.
#pragma once

#include "platform/winsys/winsys.h"

namespace sockets {

// A readiness notification of WSAAsyncSelect: wParam the socket, lParam the event
// and its error.
inline constexpr winsys::UINT SM_SELECT = 2135;
// Posted by a socket's Close: lParam the socket object, which may be freed by the
// time the message arrives.
inline constexpr winsys::UINT SM_CLOSED = 2136;
// Completion of a registered asynchronous request.
inline constexpr winsys::UINT SM_ASYNC = 2137;
// Completion of a look-up: wParam the request, lParam its buffer length and error.
inline constexpr winsys::UINT SM_LOOKUP = 2138;
// Keeps the deferred notifications moving, one per message.
inline constexpr winsys::UINT SM_DRAIN = 2139;

}  // namespace sockets
