// The four asynchronous look-ups, the library's own look-up of all of a name's
// addresses, and their cancellation.
#pragma once

#include "platform/wsock32/winsock_constants.h"

namespace wsock32 {

// Each returns a request handle (never 0) and later posts `message` to the
// window with the handle and WSAMAKEASYNCREPLY(bytes, error); or returns 0 and
// sets the last error when the request cannot start.
winsock::HANDLE GetHostByName(winsys::HWND window, winsock::u_int message, const char* name,
                              char* buffer, int length);
winsock::HANDLE GetHostByAddr(winsys::HWND window, winsock::u_int message, const char* address,
                              int address_length, int type, char* buffer, int length);
winsock::HANDLE GetServByName(winsys::HWND window, winsock::u_int message, const char* name,
                              const char* protocol, char* buffer, int length);
winsock::HANDLE GetServByPort(winsys::HWND window, winsock::u_int message, int port,
                              const char* protocol, char* buffer, int length);
// getaddrinfo's answer as a list of ADDRINFOA packed into the buffer, posted as
// the four above post theirs.
winsock::HANDLE GetAddrInfoAsync(winsys::HWND window, winsock::u_int message, const char* node,
                                 const char* service, const winsock::ADDRINFOA* hints, char* buffer,
                                 int length);

// 0: no message will come and the buffer will not be touched. Otherwise
// WSAEALREADY for a request that has completed, WSAEINVAL for an unknown one.
int CancelAsyncRequest(winsock::HANDLE handle);

// For the last clean-up: every pending request ends without a message, and
// the worker threads are joined (one held in the system's resolver for more
// than half a second is left to end on its own).
void CancelAllLookups();
// Reads the test switch that delays completions (see lookups.cpp).
void ReadLookupDelay();

}  // namespace wsock32
