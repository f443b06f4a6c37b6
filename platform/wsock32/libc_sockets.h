// The POSIX socket calls whose names this library exports with other
// signatures (socket, bind, connect, listen, getsockname). They are taken from
// the C library itself, never through the process's symbol lookup, which could
// otherwise route the library's own calls to its exports. The other calls it
// makes (accept4, sendmsg, recvmsg, ...) have names of their own.
#pragma once

#include <sys/socket.h>

namespace wsock32::libc {

int Socket(int domain, int type, int protocol);
int Bind(int fd, const sockaddr* address, socklen_t length);
int Connect(int fd, const sockaddr* address, socklen_t length);
int Listen(int fd, int backlog);
int GetSockName(int fd, sockaddr* address, socklen_t* length);

}  // namespace wsock32::libc
