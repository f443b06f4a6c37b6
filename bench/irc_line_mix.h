// What the benchmarks feed the IRC engine: a realistic round of server lines, and
// handlers for every event that touch what they are handed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "irc/parlane.h"

namespace bench {

// One round of lines as a busy channel sends them, each ending in CR LF: mostly
// chat (60 to 200 byte texts), with joins, parts, quits and nick changes that undo
// each other over the round, names replies of 100 names, pings, registration and
// message-of-the-day numerics, and channel list entries.
std::vector<std::string> RealisticMix();

// Every handler reads the size and the first byte of each text it is handed.
struct TTouch {
  std::size_t sum = 0;
  template <typename... Texts>
  void operator()(irc::TParlane&, const Texts&... texts) {
    ((sum += texts.size() + (texts.empty() ? 0 : static_cast<unsigned char>(texts[0]))), ...);
  }
};

// The user Tolvex on #beginner, with all twenty events assigned to `touch`.
void PrepareParlane(irc::TParlane& irc, TTouch& touch);

}  // namespace bench
