// Filling message patterns: "%d" takes a number and "%s" a text, in the order
// the placeholders occur; the letters may be upper or lower case.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace sockets {

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

}  // namespace sockets
