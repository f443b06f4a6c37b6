// The server's replies to capability negotiation (CAP LS, LIST, ACK, NAK, NEW,
// DEL), read as one plain sentence each for the log pane.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace irc {

// A CAP reply: "<target> <subcommand> [*] :<capabilities>", the "*" saying that
// more lines of the same list follow.
struct TCapReply {
  std::string_view Subcommand;
  bool More = false;
  std::string_view Capabilities;
};

// From the parameters of a CAP line (what follows the command).
TCapReply CutCapReply(const std::vector<std::string_view>& params);

// "Capabilities acknowledged: server-time message-tags", from the parameter text
// of a CAP line; a subcommand of no known meaning is named as it came.
std::string CapReplyLogLine(std::string_view params);

// Whether a blank-separated capability list holds `name`, alone or with a value
// ("sasl=PLAIN,EXTERNAL").
bool OffersCapability(std::string_view capabilities, std::string_view name);

}  // namespace irc
