// The log pane's character format of one styled run.
#include "Unit1/log_pane_format.h"

#include <utility>

#include "platform/toolkit/qt_font.h"

namespace unit1 {

QTextCharFormat CharFormatOf(const il::TStyledRun& run, const QPalette& palette) {
  QTextCharFormat format;
  if ((run.Style & toolkit::fsBold) != 0) format.setFontWeight(QFont::Bold);
  if ((run.Style & toolkit::fsItalic) != 0) format.setFontItalic(true);
  if ((run.Style & toolkit::fsUnderline) != 0) format.setFontUnderline(true);
  if ((run.Style & toolkit::fsStrikeOut) != 0) format.setFontStrikeOut(true);
  // The pane's font is fixed-pitch already: monospace changes nothing.
  if (!run.Color && !run.Background && !run.Reverse) return format;
  QColor text = run.Color ? toolkit::ToQColor(*run.Color, palette) : palette.color(QPalette::Text);
  QColor back =
      run.Background ? toolkit::ToQColor(*run.Background, palette) : palette.color(QPalette::Base);
  if (run.Reverse) std::swap(text, back);
  if (run.Color || run.Reverse) format.setForeground(text);
  if (run.Background || run.Reverse) format.setBackground(back);
  return format;
}

}  // namespace unit1
