// Addresses between the interface's 16-byte sockaddr_in and the POSIX one.
#pragma once

#include "platform/wsock32/winsock_constants.h"

#include <netinet/in.h>

namespace wsock32 {

// Reads a caller's address: 0, WSAEFAULT when it is missing or shorter than
// 16 bytes, WSAEAFNOSUPPORT for another family.
int ReadAddress(const winsock::sockaddr* address, int length, sockaddr_in& out);
// Writes into a caller's buffer and sets its length to 16; 0 or WSAEFAULT.
int WriteAddress(const sockaddr_in& address, winsock::sockaddr* out, int* length);
// True for an address nobody can be reached at: any address, or port 0.
bool IsUnreachable(const sockaddr_in& address);
// True once the socket has a local port (bind, connect, a first sendto).
bool IsBound(int fd);

}  // namespace wsock32
