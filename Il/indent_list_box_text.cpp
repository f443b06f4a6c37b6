// TIndentListBox: an entry's text as it is read aloud and as it is copied.
#include "Il/chat_entry.h"
#include "Il/indent_list_box.h"

namespace il {

namespace {

// The title and the text with a blank between them, and a colon after the
// title when read, unless it has one ("New:"). The blanks that pad a title
// ("alice |") go; a blank title, as an entry without "|" has, goes whole.
std::string Joined(const std::string& entry, bool read) {
  TChatEntry split = SplitEntry(entry);
  const std::size_t end = split.Title.find_last_not_of(' ');
  if (end == std::string::npos) return split.Text;
  split.Title.erase(end + 1);
  const bool colon = read && !split.Title.ends_with(':');
  return split.Title + (colon ? ": " : " ") + split.Text;
}

}  // namespace

std::string TIndentListBox::ItemText(int Index) const {
  return Joined(Item(Index), true);
}

std::string TIndentListBox::ItemCopyText(int Index) const {
  return Joined(Item(Index), false);
}

}  // namespace il
