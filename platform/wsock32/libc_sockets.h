// The POSIX socket calls whose names this library exports with other
// signatures (socket, bind, connect, listen, getsockname, and the address calls
// getaddrinfo, freeaddrinfo, getnameinfo, inet_pton and inet_ntop). They are taken from
// the C library itself, never through the process's symbol lookup, which could
// otherwise route the library's own calls to its exports. The other calls it
// makes (accept4, sendmsg, recvmsg, ...) have names of their own.
#pragma once

#include <netdb.h>
#include <sys/socket.h>

namespace wsock32::libc {

int Socket(int domain, int type, int protocol);
int Bind(int fd, const sockaddr* address, socklen_t length);
int Connect(int fd, const sockaddr* address, socklen_t length);
int Listen(int fd, int backlog);
int GetSockName(int fd, sockaddr* address, socklen_t* length);
int GetAddrInfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result);
void FreeAddrInfo(addrinfo* list);
int GetNameInfo(const sockaddr* address, socklen_t length, char* host, socklen_t host_length,
                char* service, socklen_t service_length, int flags);
int InetPton(int family, const char* text, void* address);
const char* InetNtop(int family, const void* address, char* text, socklen_t length);

}  // namespace wsock32::libc
