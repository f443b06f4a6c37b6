// The formatting codes of IRC text (bold, colours, reverse and the rest):
// text with codes becomes runs of plain text, each with the style in force.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace irc {

struct TRgb {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;

  bool operator==(const TRgb&) const = default;
};

// A colour that is not set is the reader's default colour.
using TTextColour = std::optional<TRgb>;

struct TTextStyle {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strike = false;
  bool Monospace = false;
  // Foreground and background swapped, defaults included.
  bool Reverse = false;
  TTextColour Foreground;
  TTextColour Background;

  bool operator==(const TTextStyle&) const = default;
};

struct TFormattedRun {
  std::string Text;
  TTextStyle Style;

  bool operator==(const TFormattedRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TFormattedRun& run);

// The runs of `text`, codes removed, neighbours of one style merged, none empty.
// The style starts plain and ends with the text. Other control characters show
// as their visible symbols (U+2400 on, in UTF-8), and a tab as blanks up to the
// next multiple of 8 characters.
std::vector<TFormattedRun> FormattedRuns(std::string_view text);
// The text of those runs, one after the other.
std::string PlainText(std::string_view text);
// Whether `text` holds a byte that the two above change: a code or another
// control character. Text without one is its own plain text.
bool HasControlBytes(std::string_view text);

// The colour of a colour code: 0 to 15 the classic palette, 16 to 98 the
// extended one; 99 and anything else the default colour.
TTextColour ColourOfCode(int code);

}  // namespace irc
