// Hex digits both ways, for the escapes that name a byte by its value.
#pragma once

#include <string>

namespace bytes {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of a hex digit in either case, -1 for any other character.
constexpr int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Two upper-case hex digits.
inline void AppendHexByte(unsigned char byte, std::string& text) {
  text += kHexDigits[byte >> 4];
  text += kHexDigits[byte & 0xF];
}

}  // namespace bytes
