// The Windows Sockets 2 address calls: getaddrinfo, freeaddrinfo, getnameinfo,
// inet_pton and inet_ntop, in the interface's numbers and layouts. Free of
// POSIX headers, for the exports.
#pragma once

#include "platform/wsock32/winsock_constants.h"

#include <cstddef>

namespace wsock32 {

// Each returns what its entry point returns; getaddrinfo and getnameinfo also
// set the last error on failure.
int GetAddrInfo(const char* node, const char* service, const winsock::ADDRINFOA* hints,
                winsock::ADDRINFOA** result);
void FreeAddrInfo(winsock::ADDRINFOA* list);
int GetNameInfo(const winsock::sockaddr* address, int address_length, char* host,
                winsock::DWORD host_length, char* service, winsock::DWORD service_length,
                int flags);
int InetPton(int family, const char* text, void* address);
const char* InetNtop(int family, const void* address, char* text, std::size_t length);

}  // namespace wsock32
