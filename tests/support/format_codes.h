// IRC formatting codes written readably in tests: "^" and a letter stand for a
// code (B bold, I italic, U underline, S strike, M monospace, R reverse, O
// reset, C colour, H hex colour), so that digits after a code need no escape.
#pragma once

#include <string>
#include <string_view>

namespace testsupport {

inline std::string Codes(std::string_view written) {
  constexpr std::string_view kLetters = "BIUSMROCH";
  constexpr std::string_view kCodes = "\x02\x1D\x1F\x1E\x11\x16\x0F\x03\x04";
  std::string text;
  for (std::size_t pos = 0; pos < written.size(); ++pos) {
    const std::size_t letter = written[pos] == '^' && pos + 1 < written.size()
                                   ? kLetters.find(written[pos + 1])
                                   : std::string_view::npos;
    if (letter == std::string_view::npos) {
      text += written[pos];
    } else {
      text += kCodes[letter];
      ++pos;
    }
  }
  return text;
}

}  // namespace testsupport
