// The log pane's character formats of one styled run: its styles, and its
// colours apart.
#include "Unit1/log_pane_format.h"

#include <QBrush>
#include <QColor>
#include <utility>

#include "platform/toolkit/qt_font.h"

namespace unit1 {

QTextCharFormat StyleFormatOf(const il::TStyledRun& run) {
  QTextCharFormat format;
  if ((run.Style & toolkit::fsBold) != 0) format.setFontWeight(QFont::Bold);
  if ((run.Style & toolkit::fsItalic) != 0) format.setFontItalic(true);
  if ((run.Style & toolkit::fsUnderline) != 0) format.setFontUnderline(true);
  if ((run.Style & toolkit::fsStrikeOut) != 0) format.setFontStrikeOut(true);
  // The pane's font is fixed-pitch already: monospace changes nothing.
  return format;
}

TRunColours ColoursOf(const il::TStyledRun& run, const QPalette& palette) {
  if (!run.Color && !run.Background && !run.Reverse) return {};
  QColor text = run.Color ? toolkit::ToQColor(*run.Color, palette) : palette.color(QPalette::Text);
  QColor back =
      run.Background ? toolkit::ToQColor(*run.Background, palette) : palette.color(QPalette::Base);
  if (run.Reverse) std::swap(text, back);
  TRunColours colours;
  if (run.Color || run.Reverse) colours.Text = text.rgba();
  if (run.Background || run.Reverse) colours.Back = back.rgba();
  return colours;
}

QTextCharFormat ColourFormatOf(const TRunColours& colours) {
  QTextCharFormat format;
  if (colours.Text) format.setForeground(QColor::fromRgba(*colours.Text));
  if (colours.Back) format.setBackground(QColor::fromRgba(*colours.Back));
  return format;
}

}  // namespace unit1
