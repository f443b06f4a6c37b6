// Start and clean-up of the library, counted; and the two blocking-call entry
// points of a library that never blocks.
#pragma once

#include "platform/wsock32/winsock_constants.h"

namespace wsock32 {

// Returns 0 or the error itself (not through the last error).
int Startup(winsock::WORD requested, winsock::WSADATA* data);
// The last of the counted clean-ups cancels pending look-ups without messages
// and resets open sockets.
int Cleanup();
bool IsStarted();

int IsBlocking();
int CancelBlockingCall();

}  // namespace wsock32
