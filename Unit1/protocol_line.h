// One protocol line out of any text: what comes before its first CR, LF or NUL.
// A line the window sends can hold text typed by the user or received from the
// server (the answer to PING); a line break inside it would let that text slip
// further commands to the server.
#pragma once

#include <string_view>

namespace unit1 {

inline std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

}  // namespace unit1
