// A chat entry is one string: the title (the sender), a "|", and the text.
#include "Il/chat_entry.h"

namespace il {

TChatEntry SplitEntry(std::string_view entry) {
  const std::size_t bar = entry.find('|');
  if (bar == std::string_view::npos) return {" ", std::string(entry)};
  return {std::string(entry.substr(0, bar)), std::string(entry.substr(bar + 1))};
}

}  // namespace il
