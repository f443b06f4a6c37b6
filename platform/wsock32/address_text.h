// Dotted address text and byte order: inet_addr, inet_ntoa, htons and ntohs.
#pragma once

#include "platform/wsock32/winsock_constants.h"

namespace wsock32 {

// a.b.c.d, a.b.c, a.b or a, each part decimal, octal (leading 0) or hex
// (leading 0x); the text may end at a blank. The address in network order, or
// INADDR_NONE for bad text (and so for 255.255.255.255).
winsock::u_long InetAddr(const char* text);

// The dotted text in a buffer of the calling thread, valid until its next call.
char* InetNtoa(winsock::in_addr address);

// Host to network order and back (the same swap).
winsock::u_short SwapShort(winsock::u_short value);

}  // namespace wsock32
