// Bounded strings: connection texts and messages hold at most 255 characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sockets {

constexpr std::size_t kShortStringMax = 255;

// The text cut to its first 255 characters.
inline std::string ShortString(std::string_view text) {
  return std::string(text.substr(0, kShortStringMax));
}

}  // namespace sockets
