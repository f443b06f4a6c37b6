// The socket layer's text helpers: pattern filling, token cutting and the
// integer conversion behind numeric ports.
#include "sockets/text_helpers.h"

#include <utility>

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

std::string FormatArg::ToString() const {
  if (const auto* number = std::get_if<long long>(&value_)) return std::to_string(*number);
  return std::string(std::get<std::string_view>(value_));
}

std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args) {
  std::string result;
  auto next_arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char kind = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '%' && kind == '%') {
      result += '%';
      ++i;
    } else if (c == '%' && (kind == 'd' || kind == 'D' || kind == 's' || kind == 'S') &&
               next_arg != args.end()) {
      result += next_arg->ToString();
      ++next_arg;
      ++i;
    } else {
      result += c;
    }
  }
  return result;
}

std::string TrimSet(std::string_view chars, std::string_view text) {
  const std::size_t first = text.find_first_not_of(chars);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(chars);
  return std::string(text.substr(first, last - first + 1));
}

void NextToken(std::string_view delimiters, std::string& source, std::string& token) {
  const std::string_view text = source;
  const std::size_t delimiter = text.find_first_of(delimiters);
  // The token's part runs up to and including the first delimiter.
  const std::size_t cut = delimiter == std::string_view::npos ? text.size() : delimiter + 1;
  std::string first = TrimSet(delimiters, text.substr(0, cut));
  std::string rest = TrimSet(delimiters, text.substr(cut));
  token = std::move(first);
  source = std::move(rest);
}

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
