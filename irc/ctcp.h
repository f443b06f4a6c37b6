// CTCP: requests and replies carried inside the text of a PRIVMSG or NOTICE,
// between two 0x01 bytes: a command word, then its arguments after a blank.
// Many clients leave out the closing 0x01, so the text may end without it.
#pragma once

#include <optional>
#include <string_view>

namespace irc {

struct TCtcp {
  std::string_view Command;
  std::string_view Arguments;
};

// The CTCP message in `text`, when the text is one.
std::optional<TCtcp> CtcpOf(std::string_view text);

}  // namespace irc
