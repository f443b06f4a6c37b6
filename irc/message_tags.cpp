// Cutting the tags off a server line.
#include "irc/message_tags.h"

namespace irc {

// Every received line passes here once tags are asked for: a plain loop, as a
// search for any of three characters tests each byte against each of them.
std::string_view WithoutTags(std::string_view line) {
  if (!line.starts_with('@')) return line;
  std::size_t end = 1;
  while (end < line.size() && line[end] != ' ' && line[end] != '\r' && line[end] != '\n') ++end;
  if (end == line.size()) return {};
  while (end < line.size() && line[end] == ' ') ++end;
  return line.substr(end);
}

}  // namespace irc
