// The stack under the window, without the window: a text client set as the
// window sets its own, handing every line to an IRC engine with every event
// assigned, reading a stream from a loopback peer.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

// Real time and CPU time of the reading thread over one pass, and the lines read.
struct TPass {
  double wall = 0;
  double cpu = 0;
  std::size_t lines = 0;
};

// Reads `stream` (`count` lines) through the headless stack until every line
// is in or the peer has ended the connection; from a peer on ::1 when `ipv6`.
TPass RunHeadlessStack(const std::string& stream, std::size_t count, bool ipv6 = false);

}  // namespace bench
