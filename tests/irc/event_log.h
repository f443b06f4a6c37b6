// Records every event a TParlane raises as one readable line, for comparing with
// expected lists of events.
#pragma once

#include <string>
#include <vector>

#include "irc/parlane.h"

namespace irc::test {

// Each event as `OnName "text" "text"`, with carriage return, line feed, quote and
// backslash written as C escapes.
struct TEventLog {
  // Assigns all twenty events of `irc`; the log event only when asked.
  explicit TEventLog(TParlane& irc, bool with_msg_log = true);

  std::vector<std::string> entries;
};

std::string Quote(const std::string& text);

// Follows #c as "me", joined and listed with `names`.
void JoinWithNames(TParlane& irc, const std::string& names);

}  // namespace irc::test
