// Records every event a TParlane raises as one readable line, for comparing with
// expected lists of events.
#pragma once

#include <string>
#include <vector>

#include "irc/parlane.h"

namespace irc::test {

// An event as `OnName "arg" "arg"`; carriage return, line feed, quote and backslash
// in an argument are written as C escapes.
class TEventLog {
 public:
  // Assigns all twenty events of `irc`.
  explicit TEventLog(TParlane& irc, bool with_msg_log = true);

  std::vector<std::string> entries;
};

// A line as a C string literal, for naming test cases.
std::string Quote(const std::string& text);

// Splits a recorded stream into lines, each with its line feed still attached.
std::vector<std::string> SplitAfterLineFeeds(const std::string& text);

}  // namespace irc::test
