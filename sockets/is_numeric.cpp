// The integer conversion and test behind numeric ports.
#include "sockets/is_numeric.h"

#include <cstdint>

namespace sockets {
namespace {

int DigitValue(char c, unsigned base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < int(base) ? value : -1;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i == text.size()) return std::nullopt;

  const unsigned base = hex ? 16 : 10;
  const std::uint64_t limit = hex ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + unsigned(digit);
    if (magnitude > limit) return std::nullopt;
  }
  // Hexadecimal digits are the integer's bits; the sign then negates it.
  std::uint32_t bits = std::uint32_t(magnitude);
  if (negative) bits = 0u - bits;
  return std::int32_t(bits);
}

bool IsNumeric(std::string_view text) {
  const std::optional<std::int32_t> value = ParseInteger(text);
  return value && *value != -1;
}

}  // namespace sockets
