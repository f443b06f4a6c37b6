// Token cutting for dotted addresses and similar texts.
#include "sockets/tokens.h"

#include <utility>

namespace sockets {

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

}  // namespace sockets
