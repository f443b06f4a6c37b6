// Addresses between the interface's layouts (the 16-byte sockaddr_in, the
// 28-byte sockaddr_in6) and the POSIX ones.
#pragma once

#include "platform/wsock32/winsock_constants.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace wsock32 {

// A POSIX address of either family, with its length.
struct PosixAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  int family() const { return storage.ss_family; }
  sockaddr* get() { return reinterpret_cast<sockaddr*>(&storage); }
  const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

// Reads a caller's address: 0, WSAEFAULT when it is missing or shorter than its
// family's layout (16 bytes at least), WSAEAFNOSUPPORT for another family.
int ReadAddress(const winsock::sockaddr* address, int length, PosixAddress& out);
// Writes into a caller's buffer and sets its length to the layout's (16 or
// 28); 0 or WSAEFAULT.
int WriteAddress(const PosixAddress& address, winsock::sockaddr* out, int* length);
// The interface's layout size for a socket's family: 16, or 28 for IPv6.
int LayoutSize(int fd);
// True for an address nobody can be reached at: any address, or port 0.
bool IsUnreachable(const PosixAddress& address);
// True once the socket has a local port (bind, connect, a first sendto).
bool IsBound(int fd);

}  // namespace wsock32
