// Cutting text into lines that fit a width, as measured on a canvas.
#include "Il/wrap_text.h"

#include <algorithm>

#include "Il/styled_text.h"
#include "bytes/utf8.h"

namespace il {

namespace {

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Blanks at the end of a line are not seen, so they do not count against the
// width: a line may end with the blank that separates it from the next word.
template <typename Measure>
bool Fits(const Measure& measure, std::string_view line, int width) {
  return width >= measure(WithoutTrailingBlanks(line));
}

// The offset just after each character of the text.
std::vector<std::size_t> CharEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  for (std::size_t pos = 0; pos < text.size();) {
    pos += bytes::CharLength(text, pos);
    ends.push_back(pos);
  }
  return ends;
}

// The most characters from the front of `text` that fit (all of them when the
// whole text fits). A longer line is never narrower, so the answer is found by
// galloping from a guess, then bisecting; measuring costs in proportion to the
// text measured, so the probes stay near one line's length.
template <typename Measure>
std::size_t MostThatFit(std::string_view text, const std::vector<std::size_t>& ends,
                        const Measure& measure, int width, std::size_t guess) {
  const auto fits = [&](std::size_t count) {
    return count == 0 || Fits(measure, text.substr(0, ends[count - 1]), width);
  };
  const std::size_t count = ends.size();
  guess = std::clamp<std::size_t>(guess, 1, count);
  // `fitting` characters fit and `too_many` do not (count + 1: all fit).
  std::size_t fitting = 0;
  std::size_t too_many = count + 1;
  if (fits(guess)) {
    fitting = guess;
    for (std::size_t step = 1; fitting < count; step *= 2) {
      const std::size_t probe = std::min(count, fitting + step);
      if (!fits(probe)) {
        too_many = probe;
        break;
      }
      fitting = probe;
    }
  } else {
    too_many = guess;
    for (std::size_t step = 1; too_many > 1; step *= 2) {
      const std::size_t probe = too_many > step ? too_many - step : 0;
      if (fits(probe)) {
        fitting = probe;
        break;
      }
      too_many = probe;
    }
  }
  while (too_many - fitting > 1) {
    const std::size_t middle = fitting + (too_many - fitting) / 2;
    (fits(middle) ? fitting : too_many) = middle;
  }
  return fitting;
}

// Length in bytes of the line cut off the front of `text`, whose first
// `fitting` characters fit and no more.
std::size_t CutLength(std::string_view text, const std::vector<std::size_t>& ends,
                      std::size_t fitting) {
  if (fitting == 0) return ends.front();
  const std::string_view line = text.substr(0, ends[fitting - 1]);
  // A word break, unless the line would hold nothing but blanks.
  const std::size_t blank = line.rfind(' ');
  if (blank != std::string_view::npos && line.find_first_not_of(' ') < blank) return blank + 1;
  return line.size();
}

// Hands each line of `text` to `emit`, as a view into the text. `measure`
// gives the width of a view into the text.
template <typename Measure, typename Emit>
void CutLines(std::string_view text, const Measure& measure, int width, const Emit& emit) {
  std::string_view rest = WithoutTrailingBlanks(text);
  const int text_width = measure(rest);
  if (rest.empty() || width >= text_width) {
    emit(rest);
    return;
  }
  // How many characters a line holds, guessed from the average width.
  const std::size_t chars = CharEnds(rest).size();
  const std::size_t chars_per_line =
      width <= 0 ? 1
                 : static_cast<std::size_t>(1.0 * width * static_cast<double>(chars) / text_width);
  while (!rest.empty()) {
    const std::vector<std::size_t> ends = CharEnds(rest);
    const std::size_t fitting = MostThatFit(rest, ends, measure, width, chars_per_line);
    const std::size_t cut = fitting == ends.size() ? rest.size() : CutLength(rest, ends, fitting);
    emit(rest.substr(0, cut));
    rest.remove_prefix(cut);
  }
}

}  // namespace

void WrapText(std::string_view text, std::vector<std::string>& lines, toolkit::TCanvas& canvas,
              int width) {
  lines.clear();
  CutLines(
      text, [&canvas](std::string_view piece) { return canvas.TextWidth(piece); }, width,
      [&lines](std::string_view line) { lines.emplace_back(line); });
}

void WrapStyled(const TStyledText& runs, std::vector<TStyledText>& lines, toolkit::TCanvas& canvas,
                int width) {
  lines.clear();
  const toolkit::TFont base = canvas.Font();
  const std::string plain = PlainText(runs);
  const auto offset = [&plain](std::string_view piece) {
    return static_cast<std::size_t>(piece.data() - plain.data());
  };
  CutLines(
      plain,
      [&](std::string_view piece) {
        return StyledWidth(canvas, base, runs, offset(piece), offset(piece) + piece.size());
      },
      width,
      [&](std::string_view line) {
        AppendSlice(runs, offset(line), offset(line) + line.size(), lines.emplace_back());
      });
  canvas.SetFont(base);
}

}  // namespace il
