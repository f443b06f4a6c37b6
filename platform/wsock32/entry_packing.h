// Lays a host or service entry out the way the caller's buffer receives it: the
// hostent or servent at the start, every string, array and address it points to
// after it, inside the same buffer. The same for getaddrinfo's list of ADDRINFOA.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/wsock32/lookup_results.h"

namespace wsock32 {

struct PackedEntry {
  std::vector<char> bytes;  // the buffer's new contents; empty on error
  int error = 0;            // 0, or WSAENOBUFS when the buffer is too small
  std::size_t size = 0;     // the bytes used, or needed on WSAENOBUFS
};

// The pointers in the result are valid at `destination` (a buffer of `capacity`
// bytes), which is not touched here.
PackedEntry PackHost(const HostEntry& entry, char* destination, int capacity);
PackedEntry PackService(const ServiceEntry& entry, char* destination, int capacity);
// The nodes one after another from the start, then their addresses in the
// interface's layouts, then the canonical name (on the first node only). Each
// node's ai_flags is `flags`.
PackedEntry PackAddrInfo(const ResolvedList& list, int flags, char* destination, int capacity);

}  // namespace wsock32
