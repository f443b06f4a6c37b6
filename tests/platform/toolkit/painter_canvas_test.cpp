// The canvas on a QPainter: filled rectangles and lines leave out their far
// edge and end point, text is opaque unless the brush is clear, missing fonts map to installed
// ones.
#include "platform/toolkit/painter_canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "platform/toolkit/qt_font.h"

namespace {

// Probed pixel by pixel after a line, a filled rectangle, opaque text, and
// clear text over it.
TEST(PainterCanvas, LineAndRectLeaveOutTheirEndAndTextIsOpaqueUnlessClear) {
  QImage image(40, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPalette palette;
  int blank_width = 0;
  int height = 0;
  {
    QPainter painter(&image);
    toolkit::TPainterCanvas canvas(&painter, palette);
    canvas.SetPenColor(toolkit::clBlack);
    canvas.MoveTo(2, 5);
    canvas.LineTo(10, 5);
    canvas.SetBrushColor(toolkit::RGB(255, 0, 0));
    canvas.FillRect(toolkit::TRect{1, 1, 4, 4});
    canvas.SetBrushColor(toolkit::RGB(0, 0, 255));
    canvas.TextOut(10, 10, "  ");
    blank_width = canvas.TextWidth("  ");
    height = canvas.TextHeight("  ");
    canvas.SetBrushColor(toolkit::RGB(0, 255, 0));
    canvas.SetBrushStyle(toolkit::TBrushStyle::bsClear);
    canvas.TextOut(10, 10, "  ");
  }
  ASSERT_GT(blank_width, 0);
  const auto expect = [&](QColor color, std::initializer_list<QPoint> points) {
    for (const QPoint p : points) EXPECT_EQ(image.pixelColor(p), color) << p.x() << ", " << p.y();
  };
  expect(Qt::white, {QPoint(1, 5), QPoint(10, 5), QPoint(5, 4), QPoint(5, 6), QPoint(4, 4),
                     QPoint(10 + blank_width, 10)});
  expect(Qt::black, {QPoint(2, 5), QPoint(9, 5)});
  expect(Qt::red, {QPoint(1, 1), QPoint(3, 3)});
  expect(Qt::blue, {QPoint(10, 10), QPoint(10 + blank_width - 1, 10 + height - 1)});
}

// Styled text switches fonts from run to run: each style keeps its own widths.
TEST(PainterCanvas, MeasuresEachStyleInItsOwnFont) {
  QPalette palette;
  toolkit::TPainterCanvas canvas(nullptr, palette);
  const toolkit::TFontStyles styles[] = {0, toolkit::fsBold, toolkit::fsMonospace,
                                         toolkit::fsBold | toolkit::fsMonospace, 0};
  for (const toolkit::TFontStyles style : styles) {
    const toolkit::TFont font{"Arial", -11, toolkit::clBlack, style};
    canvas.SetFont(font);
    EXPECT_EQ(canvas.TextWidth("Willow tree"),
              QFontMetrics(toolkit::ToQFont(font)).horizontalAdvance("Willow tree"))
        << int{style};
  }
}

// Widths are kept for many texts in many styles, but within one bound for all
// of them together, however long texts keep coming.
TEST(PainterCanvasWidths, KeptWithinOneBoundForAllStyles) {
  QPalette palette;
  toolkit::TPainterCanvas canvas(nullptr, palette);
  std::size_t most = 0;
  for (int i = 0; i < 20'000; ++i) {
    canvas.SetFont({"Arial", -11, toolkit::clBlack, toolkit::TFontStyles(i % 16)});
    EXPECT_EQ(canvas.TextWidth(std::to_string(i)), canvas.TextWidth(std::to_string(i)));
    most = std::max(most, toolkit::TPainterCanvas::KeptWidths());
  }
  EXPECT_GT(most, 1000u);
  EXPECT_LE(most, 8192u);
}

// Whatever fonts the system has, the fixed font of the log pane keeps its columns
// in line, the sans font of the chat list stays proportional (its monospace
// style does not), and a font given by its whole cell gets rows of that height.
TEST(QtFont, MissingFontsKeepTheirPitchAndCellHeight) {
  const QFontMetrics fixed(toolkit::ToQFont({"Terminal", -12, toolkit::clBlack, 0}));
  EXPECT_EQ(fixed.horizontalAdvance("iiii"), fixed.horizontalAdvance("WWWW"));
  const QFontMetrics sans(toolkit::ToQFont({"Arial", -11, toolkit::clBlack, 0}));
  EXPECT_LT(sans.horizontalAdvance("iiii"), sans.horizontalAdvance("WWWW"));
  const QFontMetrics monospace(
      toolkit::ToQFont({"Arial", -11, toolkit::clBlack, toolkit::fsMonospace}));
  EXPECT_EQ(monospace.horizontalAdvance("iiii"), monospace.horizontalAdvance("WWWW"));
  EXPECT_LE(monospace.height(), sans.height());
  // The drawing tests' reference draws with these fonts too, so each style is checked here.
  const QFont styled = toolkit::ToQFont(
      {"Arial", -11, toolkit::clBlack,
       toolkit::fsBold | toolkit::fsItalic | toolkit::fsUnderline | toolkit::fsStrikeOut});
  EXPECT_TRUE(styled.bold() && styled.italic() && styled.underline() && styled.strikeOut());
  for (const int cell : {13, 16, 24}) {
    const QFontMetrics metrics(toolkit::ToQFont({"Arial", cell, toolkit::clBlack, 0}));
    EXPECT_NEAR(metrics.height(), cell, 1) << cell;
  }
}

}  // namespace
