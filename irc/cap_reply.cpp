// Reading the server's CAP replies.
#include "irc/cap_reply.h"

#include <utility>

#include "irc/server_message.h"

namespace irc {

namespace {

constexpr std::pair<std::string_view, std::string_view> kMeanings[] = {
    {"LS", "offered"},  {"LIST", "enabled"},    {"ACK", "acknowledged"},
    {"NAK", "refused"}, {"NEW", "now offered"}, {"DEL", "withdrawn"},
};

std::string_view Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

}  // namespace

TCapReply CutCapReply(const std::vector<std::string_view>& params) {
  TCapReply reply;
  if (params.size() >= 2) reply.Subcommand = params[1];
  if (params.size() >= 4 && params[2] == "*") reply.More = true;
  if (params.size() >= 3) reply.Capabilities = Trimmed(params.back());
  return reply;
}

std::string CapReplyLogLine(std::string_view params) {
  const TCapReply reply = CutCapReply(ParamsOf(params));
  std::string line = "Capabilities ";
  std::string_view meaning;
  for (const auto& [subcommand, words] : kMeanings) {
    if (subcommand == reply.Subcommand) meaning = words;
  }
  if (meaning.empty()) {
    line += "reply ";
    line += reply.Subcommand;
  } else {
    line += meaning;
  }
  line += ": ";
  line += reply.Capabilities;
  if (reply.More) line += " (more follow)";
  return line;
}

bool OffersCapability(std::string_view capabilities, std::string_view name) {
  while (!capabilities.empty()) {
    const std::size_t end = std::min(capabilities.find(' '), capabilities.size());
    const std::string_view word = capabilities.substr(0, end);
    if (word.substr(0, word.find('=')) == name) return true;
    capabilities.remove_prefix(std::min(end + 1, capabilities.size()));
  }
  return false;
}

}  // namespace irc
