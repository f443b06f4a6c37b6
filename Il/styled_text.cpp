// Measuring and drawing styled runs on a canvas.
#include "Il/styled_text.h"

#include <algorithm>
#include <utility>

namespace il {

bool NeedsStyler(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string PlainText(const TStyledText& runs) {
  std::string plain;
  for (const TStyledRun& run : runs) plain += run.Text;
  return plain;
}

int StyledWidth(toolkit::TCanvas& canvas, const toolkit::TFont& base, const TStyledText& runs,
                std::size_t begin, std::size_t end) {
  int width = 0;
  std::size_t run_begin = 0;
  toolkit::TFont font = base;
  for (const TStyledRun& run : runs) {
    const std::size_t run_end = run_begin + run.Text.size();
    if (run_end > begin && run_begin < end) {
      const std::size_t from = std::max(begin, run_begin) - run_begin;
      const std::size_t to = std::min(end, run_end) - run_begin;
      font.Style = base.Style | run.Style;
      canvas.SetFont(font);
      width += canvas.TextWidth(std::string_view(run.Text).substr(from, to - from));
    }
    run_begin = run_end;
    if (run_begin >= end) break;
  }
  return width;
}

void DrawStyled(toolkit::TCanvas& canvas, int x, int y, const TStyledText& runs) {
  const toolkit::TFont base = canvas.Font();
  const toolkit::TColor brush = canvas.BrushColor();
  toolkit::TFont font = base;
  for (const TStyledRun& run : runs) {
    toolkit::TColor foreground = run.Color.value_or(base.Color);
    toolkit::TColor background = run.Background.value_or(brush);
    if (run.Reverse) std::swap(foreground, background);
    font.Style = base.Style | run.Style;
    font.Color = foreground;
    canvas.SetFont(font);
    canvas.SetBrushColor(background);
    canvas.TextOut(x, y, run.Text);
    x += canvas.TextWidth(run.Text);
  }
  canvas.SetFont(base);
  canvas.SetBrushColor(brush);
}

void AppendSlice(const TStyledText& runs, std::size_t begin, std::size_t end, TStyledText& slice) {
  std::size_t run_begin = 0;
  for (const TStyledRun& run : runs) {
    const std::size_t run_end = run_begin + run.Text.size();
    if (run_end > begin && run_begin < end) {
      const std::size_t from = std::max(begin, run_begin) - run_begin;
      const std::size_t to = std::min(end, run_end) - run_begin;
      slice.push_back(
          {run.Text.substr(from, to - from), run.Style, run.Color, run.Background, run.Reverse});
    }
    run_begin = run_end;
  }
}

}  // namespace il
