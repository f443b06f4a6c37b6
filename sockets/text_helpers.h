// The socket layer's small text helpers: bounded strings, filling message
// patterns, cutting tokens at delimiters, and telling a numeric port from a
// service name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace sockets {

// Connection texts and messages hold at most 255 characters.
constexpr std::size_t kShortStringMax = 255;

// The text cut to its first 255 characters.
inline std::string ShortString(std::string_view text) {
  return std::string(text.substr(0, kShortStringMax));
}

// One argument of Format: "%d" takes a number and "%s" a text, in the order the
// placeholders occur; the letters may be upper or lower case.
class FormatArg {
 public:
  FormatArg(long long number) : value_(number) {}
  FormatArg(std::string_view text) : value_(text) {}
  FormatArg(const char* text) : value_(std::string_view(text)) {}
  FormatArg(const std::string& text) : value_(std::string_view(text)) {}

  std::string ToString() const;

 private:
  std::variant<long long, std::string_view> value_;
};

// "%%" gives one "%". A placeholder without an argument left for it, and any other
// "%" sequence, stays as written; arguments left over are ignored.
std::string Format(std::string_view pattern, std::initializer_list<FormatArg> args);

// The text without the characters of `chars` at its front and at its back.
std::string TrimSet(std::string_view chars, std::string_view text);

// Cuts the first token off `source` at its first delimiter: with "." as the
// delimiter, "192.168.1.2" gives the token "192" and leaves "168.1.2". Both
// token and rest lose any delimiters at either end; an empty source gives an
// empty token.
void NextToken(std::string_view delimiters, std::string& source, std::string& token);

// The 32-bit integer the text holds: leading blanks, an optional sign, then
// decimal digits or "$" and hexadecimal digits, and nothing after them; none for
// any other text.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// True when the text is a 32-bit integer (ParseInteger) other than -1.
// Hexadecimal takes up to 32 bits, so "$FFFFFFFF" is -1.
bool IsNumeric(std::string_view text);

}  // namespace sockets
