// getaddrinfo's hints, from the interface's numbers to the POSIX ones.
#pragma once

#include "platform/wsock32/winsock_constants.h"

#include <netdb.h>

namespace wsock32 {

// The caller's hints as POSIX ones: 0, or the error getaddrinfo gives for them
// (unknown flags, family or socket type). No hints: any address, any type.
int ReadHints(const winsock::ADDRINFOA* hints, addrinfo& posix);

}  // namespace wsock32
