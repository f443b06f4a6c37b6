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

class PainterCanvasTest : public testing::Test {
 protected:
  PainterCanvasTest() : image(40, 40, QImage::Format_RGB32) { image.fill(Qt::white); }

  QColor At(int x, int y) const { return image.pixelColor(x, y); }

  QImage image;
  QPalette palette;
};

TEST_F(PainterCanvasTest, LineLeavesOutEndPoint) {
  {
    QPainter painter(&image);
    toolkit::TPainterCanvas canvas(&painter, palette);
    canvas.SetPenColor(toolkit::clBlack);
    canvas.MoveTo(2, 5);
    canvas.LineTo(10, 5);
  }
  EXPECT_EQ(At(1, 5), QColor(Qt::white));
  EXPECT_EQ(At(2, 5), QColor(Qt::black));
  EXPECT_EQ(At(9, 5), QColor(Qt::black));
  EXPECT_EQ(At(10, 5), QColor(Qt::white));
  EXPECT_EQ(At(5, 4), QColor(Qt::white));
  EXPECT_EQ(At(5, 6), QColor(Qt::white));
}

TEST_F(PainterCanvasTest, FillRectAndOpaqueTextUseBrush) {
  int blank_width = 0;
  int height = 0;
  {
    QPainter painter(&image);
    toolkit::TPainterCanvas canvas(&painter, palette);
    canvas.SetBrushColor(toolkit::RGB(255, 0, 0));
    canvas.FillRect(toolkit::TRect{1, 1, 4, 4});
    canvas.SetBrushColor(toolkit::RGB(0, 0, 255));
    canvas.TextOut(10, 10, "  ");
    blank_width = canvas.TextWidth("  ");
    height = canvas.TextHeight("  ");
  }
  EXPECT_EQ(At(1, 1), QColor(Qt::red));
  EXPECT_EQ(At(3, 3), QColor(Qt::red));
  EXPECT_EQ(At(4, 4), QColor(Qt::white));
  ASSERT_GT(blank_width, 0);
  EXPECT_EQ(At(10, 10), QColor(Qt::blue));
  EXPECT_EQ(At(10 + blank_width - 1, 10 + height - 1), QColor(Qt::blue));
  EXPECT_EQ(At(10 + blank_width, 10), QColor(Qt::white));

  // A clear brush leaves the background as it is.
  {
    QPainter painter(&image);
    toolkit::TPainterCanvas canvas(&painter, palette);
    canvas.SetBrushColor(toolkit::RGB(0, 255, 0));
    canvas.SetBrushStyle(toolkit::TBrushStyle::bsClear);
    canvas.TextOut(10, 10, "  ");
  }
  EXPECT_EQ(At(10, 10), QColor(Qt::blue));
}

// Styled text switches fonts from run to run: each style keeps its own widths.
TEST_F(PainterCanvasTest, MeasuresEachStyleInItsOwnFont) {
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
  for (const int cell : {13, 16, 24}) {
    const QFontMetrics metrics(toolkit::ToQFont({"Arial", cell, toolkit::clBlack, 0}));
    EXPECT_NEAR(metrics.height(), cell, 1) << cell;
  }
}

}  // namespace
