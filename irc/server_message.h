// A server line cut the way the IRC grammar writes it, for what needs the
// parameters one by one (capability negotiation, SASL, the welcome):
//
//   line    = [ ":" prefix SPACE ] command { SPACE middle } [ SPACE ":" trailing ] CR LF
//
// where SPACE is one or more blanks. The engine keeps its own cut; this one only
// serves the registration.
#pragma once

#include <string_view>
#include <vector>

namespace irc {

// The command word of a line, after its prefix; empty when there is none.
std::string_view CommandOf(std::string_view line);

// The parameters of a line's parameter text (what follows the command), up to the
// first carriage return or line feed; the trailing one without its ":".
std::vector<std::string_view> ParamsOf(std::string_view params);

struct TServerMessage {
  std::string_view Command;
  std::vector<std::string_view> Params;
};

TServerMessage CutMessage(std::string_view line);

}  // namespace irc
