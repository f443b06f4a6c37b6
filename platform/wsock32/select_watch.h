// The notifications of WSAAsyncSelect: one posted message per event, following
// the re-enabling rules, with the socket watched on the Qt event loop only while
// an event could be due (an idle connection costs nothing).
#pragma once

#include "platform/wsock32/socket_table.h"

namespace wsock32 {

// Looks at the socket as it is now: posts every event that is due and enabled,
// then watches for what could still come. Called after each re-enabling call,
// after a registration and when the loop sees the descriptor ready. The caller
// holds SocketsMutex().
void Refresh(Socket& socket);

// Settles a pending connect whose outcome the kernel already knows, without
// posting anything.
void SettleConnect(Socket& socket);

}  // namespace wsock32
