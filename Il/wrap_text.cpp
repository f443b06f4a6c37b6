// Cutting text into lines that fit a width, as measured on a canvas.
#include "Il/wrap_text.h"

#include "platform/toolkit/utf8.h"

namespace il {

namespace {

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Blanks at the end of a line are not seen, so they do not count against the
// width: a line may end with the blank that separates it from the next word.
bool Fits(toolkit::TCanvas& canvas, std::string_view line, int width) {
  return width >= canvas.TextWidth(WithoutTrailingBlanks(line));
}

// Length in bytes of the first line cut off `rest`, which does not fit whole.
std::size_t CutLength(std::string_view rest, toolkit::TCanvas& canvas, int width) {
  std::vector<std::size_t> char_ends;
  for (std::size_t pos = 0; pos < rest.size();) {
    pos += toolkit::CharLength(rest, pos);
    char_ends.push_back(pos);
  }
  // The most characters that fit, by bisection (a longer line is never
  // narrower): `fitting` characters fit, `too_many` do not.
  std::size_t fitting = 0;
  std::size_t too_many = char_ends.size();
  while (too_many - fitting > 1) {
    const std::size_t middle = fitting + (too_many - fitting) / 2;
    if (Fits(canvas, rest.substr(0, char_ends[middle - 1]), width)) {
      fitting = middle;
    } else {
      too_many = middle;
    }
  }
  if (fitting == 0) return char_ends.front();
  const std::string_view line = rest.substr(0, char_ends[fitting - 1]);
  // A word break, unless the line would hold nothing but blanks.
  const std::size_t blank = line.rfind(' ');
  if (blank != std::string_view::npos && line.find_first_not_of(' ') < blank) return blank + 1;
  return line.size();
}

}  // namespace

void WrapText(std::string_view text, std::vector<std::string>& lines, toolkit::TCanvas& canvas,
              int width) {
  std::string_view rest = WithoutTrailingBlanks(text);
  lines.clear();
  for (;;) {
    const std::size_t cut =
        rest.empty() || Fits(canvas, rest, width) ? rest.size() : CutLength(rest, canvas, width);
    lines.emplace_back(rest.substr(0, cut));
    rest.remove_prefix(cut);
    if (rest.empty()) return;
  }
}

}  // namespace il
