// Text as runs of one style each, and the styler that makes them from text
// carrying its own formatting: the chat list draws runs without knowing the
// format.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit/color.h"
#include "platform/toolkit/font.h"

namespace il {

struct TStyledRun {
  std::string Text;
  // Added to the styles of the font the text is drawn in.
  toolkit::TFontStyles Style = 0;
  // Unset: the font's colour, and the brush.
  std::optional<toolkit::TColor> Color;
  std::optional<toolkit::TColor> Background;
  // The two colours swapped once the unset ones are known.
  bool Reverse = false;

  bool operator==(const TStyledRun&) const = default;
};

using TStyledText = std::vector<TStyledRun>;

// Cuts a text into runs, its formatting taken out. The list asks it only for
// texts that hold a control character (a byte below 0x20, or 0x7F); any other
// text is drawn as it stands.
using TTextStyler = std::function<TStyledText(std::string_view text)>;

// Whether the text holds such a character.
bool NeedsStyler(std::string_view text);

}  // namespace il
