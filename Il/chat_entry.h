// A chat entry is one string: the title (the sender), a "|", and the text.
#pragma once

#include <string>
#include <string_view>

namespace il {

struct TChatEntry {
  std::string Title;
  std::string Text;

  bool operator==(const TChatEntry&) const = default;
};

// Splits at the first "|" (later ones belong to the text). An entry without
// any "|" has the title " " and is all text.
TChatEntry SplitEntry(std::string_view entry);

}  // namespace il
