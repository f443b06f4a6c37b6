// Cutting the tags off a server line.
#include "irc/message_tags.h"

namespace irc {

std::string_view WithoutTags(std::string_view line) {
  if (!line.starts_with('@')) return line;
  std::size_t end = line.find_first_of(" \r\n");
  if (end == std::string_view::npos) return {};
  while (end < line.size() && line[end] == ' ') ++end;
  return line.substr(end);
}

}  // namespace irc
