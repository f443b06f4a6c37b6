// Filling message patterns with numbers and texts.
#include "sockets/text_helpers.h"

namespace sockets {

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

}  // namespace sockets
