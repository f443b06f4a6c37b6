// CTCP: finding a request or reply in a message's text.
#include "irc/ctcp.h"

namespace irc {

namespace {

constexpr char kCtcpDelimiter = '\x01';

}  // namespace

std::optional<TCtcp> CtcpOf(std::string_view text) {
  if (text.size() < 2 || text.front() != kCtcpDelimiter) return std::nullopt;
  text.remove_prefix(1);
  if (text.ends_with(kCtcpDelimiter)) text.remove_suffix(1);
  const std::size_t blank = text.find(' ');
  if (blank == 0 || text.empty()) return std::nullopt;
  if (blank == std::string_view::npos) return TCtcp{text, {}};
  return TCtcp{text.substr(0, blank), text.substr(blank + 1)};
}

}  // namespace irc
