// The socket unit's process-wide state: the binding, the started library and
// the counters and queue that the socket controls share. Plain globals: all of
// it is used on the message loop's thread only.
#pragma once

#include <cstdint>

#include "platform/wsock32/winsock.h"
#include "sockets/deferred_queue.h"
#include "sockets/winsock_api.h"

namespace sockets {

// The version asked for at each start: 1.1.
inline constexpr winsock::WORD kWinsockVersion = 0x0101;

extern winsock::WORD RequestedVersion;
// Filled by WSAStartup; its iMaxUdpDg bounds datagram sizes.
extern winsock::WSADATA WSAData;
// The result of the last WSAStartup or WSACleanup.
extern std::int32_t LastWinsockResult;
// Socket controls alive; the last one to go stops the library.
extern std::int32_t LiveControlCount;
// Numbers the names of socket objects ("socket0", "socket1", ...).
extern std::int32_t SocketNameCounter;
// Look-up waits in progress; readiness notifications are deferred while above 0.
extern std::int32_t WaitNesting;
extern TDeferredQueue DeferredQueue;

// The binding, created (nothing loaded) when there is none.
tWinsockAPI& WinsockAPI();

// Creates the binding when there is none and tells whether the library is started.
bool WinsockStarted();

// Starts the library once per binding: WSAStartup asking for version 1.1.
// Raises ESockError "Error %d (%s) starting up WinSock" when it fails, and the
// general Exception when the library cannot be loaded.
void StartWinsock();

// Cleans the library up, releases the deferred notifications undelivered, waits
// 200 ms and frees the binding, which unloads the library. The binding is freed
// even when a call into the library raises; the exception then propagates.
void StopWinsock();

}  // namespace sockets
