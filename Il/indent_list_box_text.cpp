// TIndentListBox: an entry's text as it is read aloud and as it is copied,
// formatting taken out.
#include "Il/chat_entry.h"
#include "Il/indent_list_box.h"
#include "Il/styled_text.h"

namespace il {

std::string TIndentListBox::ItemText(int Index) const {
  return JoinedText(Index, true);
}

std::string TIndentListBox::ItemCopyText(int Index) const {
  return JoinedText(Index, false);
}

// The title and the text with a blank between them, and a colon after the
// title when read, unless it has one ("New:"). The blanks that pad a title
// ("alice |") go; a blank title, as an entry without "|" has, goes whole.
std::string TIndentListBox::JoinedText(int Index, bool read) const {
  const TChatEntry split = SplitEntry(Item(Index));
  const auto plain = [this](const std::string& text) {
    return Styled(text) ? il::PlainText(Styler_(text)) : text;
  };
  std::string title = plain(split.Title);
  const std::string text = plain(split.Text);
  const std::size_t end = title.find_last_not_of(' ');
  if (end == std::string::npos) return text;
  title.erase(end + 1);
  const bool colon = read && !title.ends_with(':');
  return title + (colon ? ": " : " ") + text;
}

}  // namespace il
