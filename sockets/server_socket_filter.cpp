// The server component's address filter: dotted-address and host-name patterns
// compared with the peer part by part.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sockets/server_socket.h"
#include "sockets/text_helpers.h"

namespace sockets {
namespace {

constexpr std::string_view kDot = ".";

bool IsNumericPart(const std::string& part) {
  if (part == "*") return true;
  const std::optional<std::int32_t> number = ParseInteger(part);
  return number && *number >= 0;
}

// Compares `entry` with `text` part by part from the front: "*" matches any one
// part, and the comparison ends early where the rests are equal. The entry
// must be used up: one with more parts than the text does not match it.
// `keep_going` sees each entry part and may stop the comparison.
template <typename KeepGoing>
bool PartsMatch(std::string entry, std::string text, KeepGoing keep_going) {
  bool matched = true;
  std::string part;
  std::string counterpart;
  while (entry != text && !entry.empty() && !text.empty()) {
    NextToken(kDot, entry, part);
    NextToken(kDot, text, counterpart);
    if (part != counterpart && part != "*") matched = false;
    if (!keep_going(part)) return matched;
  }
  return matched && (entry.empty() || entry == text);
}

}  // namespace

bool TCustomBasicServerSocket::AddressMatches(const std::string& Address) {
  const std::string address = ShortString(Address);
  // A copy: a handler that runs during a look-up may set another filter.
  const std::vector<std::string> filter = AddressFilter_;
  for (const std::string& entry : filter) {
    if (EntryMatches(entry, address)) return true;
  }
  return false;
}

bool TCustomBasicServerSocket::EntryMatches(const std::string& Entry, const std::string& Address) {
  bool numeric = true;
  const bool matched = PartsMatch(Entry, Address, [&numeric](const std::string& part) {
    numeric = IsNumericPart(part);
    return numeric;
  });
  if (numeric) return matched;
  // A part that is no number makes the entry a host-name pattern.
  return PartsMatch(Entry, LookupHostName(Address), [](const std::string&) { return true; });
}

}  // namespace sockets
