// The measure and draw steps of the chat list on a canvas of fixed metrics
// (6 pixels a byte, one line of text 13 or 15 pixels high).
#include "Il/indent_list_box.h"

#include <gtest/gtest.h>

#include "tests/Il/fixed_canvas.h"

namespace {

using iltest::FixedCanvas;
using toolkit::TRect;

const std::string kFiftyBytes(50, 'x');

int Measure(il::TIndentListBox& box, FixedCanvas& canvas, int index) {
  int height = box.ItemHeight();
  box.MeasureItem(canvas, index, height);
  return height;
}

struct HeightCase {
  const char* name;
  il::TEnumType layout;
  std::string entry;
  int lines;  // in a control 200 pixels wide, text column at 48
};

void PrintTo(const HeightCase& c, std::ostream* os) {
  *os << c.name;
}

class EntryHeight : public testing::TestWithParam<HeightCase> {};

TEST_P(EntryHeight, IsLinesTimesLineHeight) {
  const HeightCase& c = GetParam();
  il::TIndentListBox box;
  box.resize(200, 300);
  box.SetIndent(c.layout);
  box.AddItem(c.entry);
  FixedCanvas canvas;
  EXPECT_EQ(Measure(box, canvas, 0), c.lines * 13);
  EXPECT_EQ(box.LineHeight(), 13);
}

// itab wraps the text at 200 - 48 - 20 = 132 pixels (22 bytes), inone the whole
// entry and iline the text at 180 pixels (30 bytes).
INSTANTIATE_TEST_SUITE_P(
    Layouts, EntryHeight,
    testing::Values(HeightCase{"TabShort", il::itab, "bob|short", 1},
                    HeightCase{"TabEmptyText", il::itab, "bob|", 1},
                    HeightCase{"TabWrapped", il::itab, "bob|" + kFiftyBytes, 3},
                    HeightCase{"TabTrailingBlanks", il::itab, "bob|" + std::string(22, 'x') + "   ",
                               1},
                    HeightCase{"TabNoBar", il::itab, std::string(23, 'x'), 2},
                    HeightCase{"NoneShort", il::inone, "bob|short", 1},
                    HeightCase{"NoneCountsTitleAndBar", il::inone, "bob|" + kFiftyBytes, 2},
                    HeightCase{"LineShortIsTwoLines", il::iline, "bob|short", 2},
                    HeightCase{"LineWrapped", il::iline, "bob|" + kFiftyBytes, 3}),
    [](const testing::TestParamInfo<HeightCase>& info) { return std::string(info.param.name); });

TEST(IndentListBox, NarrowControlHalvesPosIndent) {
  il::TIndentListBox box;
  box.resize(200, 300);
  box.AddItem("bob|" + std::string(18, 'x'));
  box.resize(150, 300);
  box.SetPosIndent(200);
  FixedCanvas canvas;
  // The text column is then 150 - 75 - 20 = 55 pixels: 9 bytes a line.
  EXPECT_EQ(Measure(box, canvas, 0), 2 * 13);
  EXPECT_EQ(box.PosIndent(), 75);
}

class DrawStep : public testing::Test {
 protected:
  void SetUp() override {
    box.resize(200, 300);
    box.SetTitleFontColor(toolkit::clPurple);
    box.AddItem("bob|" + kFiftyBytes);
  }
  // Measures, then draws entry 0 at top 30 the way the host does.
  void Draw(il::TEnumType layout, toolkit::TOwnerDrawState state = 0) {
    box.SetIndent(layout);
    Measure(box, canvas, 0);
    box.PaintItem(canvas, 0, rect, state);
  }

  il::TIndentListBox box;
  FixedCanvas canvas{15};
  const TRect rect{0, 30, 180, 75};
};

TEST_F(DrawStep, TabLayoutPutsTextInItsColumnAndSeparatorOnLastRow) {
  Draw(il::itab);
  ASSERT_EQ(canvas.texts.size(), 4u);
  EXPECT_EQ(canvas.texts[0].text, "bob");
  EXPECT_EQ(canvas.texts[0].font.Color, toolkit::clPurple);
  EXPECT_EQ(canvas.texts[0].font.Style, toolkit::fsItalic);
  for (int k = 0; k < 3; ++k) {
    const iltest::DrawnText& line = canvas.texts[static_cast<std::size_t>(k + 1)];
    EXPECT_EQ(line.x, 48);
    EXPECT_EQ(line.y, 30 + k * 15);
    EXPECT_EQ(line.font.Color, toolkit::clBlack);
    EXPECT_EQ(line.font.Style, 0);
  }
  ASSERT_EQ(canvas.lines.size(), 1u);
  const iltest::DrawnLine& separator = canvas.lines[0];
  EXPECT_EQ(separator.x1, 0);
  EXPECT_EQ(separator.y1, 74);
  EXPECT_EQ(separator.x2, 180);
  EXPECT_EQ(separator.y2, 74);
  EXPECT_EQ(separator.pen, toolkit::clSilver);
  EXPECT_EQ(canvas.fills, std::vector<TRect>{rect});
}

TEST_F(DrawStep, LineLayoutPutsTextBelowTitle) {
  Draw(il::iline);
  ASSERT_EQ(canvas.texts.size(), 3u);
  EXPECT_EQ(canvas.texts[0].y, 30);
  EXPECT_EQ(canvas.texts[1].x, 0);
  EXPECT_EQ(canvas.texts[1].y, 45);
  EXPECT_EQ(canvas.texts[2].y, 60);
  ASSERT_EQ(canvas.lines.size(), 1u);
  EXPECT_EQ(canvas.lines[0].y1, 30 + 3 * 15 - 1);
}

TEST_F(DrawStep, NoneLayoutDrawsWholeEntryWithoutSeparator) {
  Draw(il::inone);
  ASSERT_EQ(canvas.texts.size(), 2u);
  EXPECT_EQ(canvas.texts[0].text, "bob|" + std::string(26, 'x'));
  EXPECT_EQ(canvas.texts[0].x, 1);
  EXPECT_EQ(canvas.texts[1].y, 45);
  EXPECT_EQ(canvas.texts[1].font.Color, toolkit::clBlack);
  EXPECT_TRUE(canvas.lines.empty());
}

TEST_F(DrawStep, SelectedEntryKeepsTitleColourOnHighlight) {
  Draw(il::itab, toolkit::odSelected);
  EXPECT_EQ(canvas.fill_colors, std::vector<toolkit::TColor>{toolkit::clHighlight});
  ASSERT_EQ(canvas.texts.size(), 4u);
  EXPECT_EQ(canvas.texts[0].font.Color, toolkit::clPurple);
  for (const iltest::DrawnText& text : canvas.texts) EXPECT_EQ(text.brush, toolkit::clHighlight);
  EXPECT_EQ(canvas.texts[1].font.Color, toolkit::clHighlightText);
}

}  // namespace
