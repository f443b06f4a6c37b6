// What every fuzz target shares: stopping at once when something that must hold
// for any input does not, and cutting the input into lines.
#pragma once

#include <cstddef>
#include <string_view>

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Hands `take` each line of `input` with its line feed, as the line socket
// delivers them; the last one may have none.
template <typename Take>
void ForEachLine(std::string_view input, Take take) {
  for (std::size_t start = 0; start < input.size();) {
    const std::size_t lf = input.find('\n', start);
    const std::size_t end = lf == std::string_view::npos ? input.size() : lf + 1;
    take(input.substr(start, end - start));
    start = end;
  }
}

}  // namespace fuzz
