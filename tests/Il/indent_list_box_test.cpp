// The measure and draw steps of the chat list on a canvas of fixed metrics
// (6 pixels a byte, one line of text 13 or 15 pixels high), its styler asked
// only for text that carries formatting, its read and copied texts, and the
// list as a widget on screen.
#include "Il/indent_list_box.h"

#include <gtest/gtest.h>

#include <QImage>
#include <tuple>

#include "tests/Il/fixed_canvas.h"
#include "tests/Il/styled_runs.h"

namespace {

using iltest::FixedCanvas;
using toolkit::TRect;

const std::string kFiftyBytes(50, 'x');
constexpr toolkit::TFontStyles kBold = toolkit::fsBold;

int Measure(il::TIndentListBox& box, FixedCanvas& canvas, int index) {
  int height = box.ItemHeight();
  box.MeasureItem(canvas, index, height);
  return height;
}

// In a control 200 pixels wide with the text column at 48, itab wraps the text
// at 200 - 48 - 20 = 132 pixels (22 bytes), inone the whole entry and iline the
// text at 180 pixels (30 bytes).
TEST(IndentListBox, EntryHeightIsLinesTimesLineHeight) {
  const std::tuple<const char*, il::TEnumType, std::string, int> cases[] = {
      {"TabShort", il::itab, "bob|short", 1},
      {"TabEmptyText", il::itab, "bob|", 1},
      {"TabWrapped", il::itab, "bob|" + kFiftyBytes, 3},
      {"TabTrailingBlanks", il::itab, "bob|" + std::string(22, 'x') + "   ", 1},
      {"TabNoBar", il::itab, std::string(23, 'x'), 2},
      {"NoneShort", il::inone, "bob|short", 1},
      {"NoneCountsTitleAndBar", il::inone, "bob|" + kFiftyBytes, 2},
      {"LineShortIsTwoLines", il::iline, "bob|short", 2},
      {"LineWrapped", il::iline, "bob|" + kFiftyBytes, 3},
  };
  for (const auto& [name, layout, entry, lines] : cases) {
    il::TIndentListBox box;
    box.resize(200, 300);
    box.SetIndent(layout);
    box.AddItem(entry);
    FixedCanvas canvas;
    EXPECT_EQ(Measure(box, canvas, 0), lines * 13) << name;
    EXPECT_EQ(box.LineHeight(), 13) << name;
  }
}

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
  FixedCanvas Draw(il::TEnumType layout, toolkit::TOwnerDrawState state = 0) {
    FixedCanvas canvas(15);
    box.SetIndent(layout);
    Measure(box, canvas, 0);
    box.PaintItem(canvas, 0, rect, state);
    return canvas;
  }

  il::TIndentListBox box;
  const TRect rect{0, 30, 180, 75};
};

// Where each layout puts the title and the lines of text, and whether it draws
// the separator on the entry's last row of pixels.
TEST_F(DrawStep, EachLayoutPlacesTitleTextAndSeparator) {
  using Placed = std::vector<std::tuple<int, int, std::string>>;
  const auto x = [](std::size_t count) { return std::string(count, 'x'); };
  const std::tuple<il::TEnumType, Placed, bool> cases[] = {
      {il::itab, {{0, 30, "bob"}, {48, 30, x(22)}, {48, 45, x(22)}, {48, 60, x(6)}}, true},
      {il::iline, {{0, 30, "bob"}, {0, 45, x(30)}, {0, 60, x(20)}}, true},
      {il::inone, {{1, 30, "bob|" + x(26)}, {1, 45, x(24)}}, false},
  };
  for (const auto& [layout, placed, separator] : cases) {
    const FixedCanvas canvas = Draw(layout);
    Placed drawn;
    for (const iltest::DrawnText& text : canvas.texts)
      drawn.emplace_back(text.x, text.y, text.text);
    EXPECT_EQ(drawn, placed) << int(layout);
    EXPECT_EQ(canvas.fills, std::vector<TRect>{rect});
    ASSERT_EQ(canvas.lines.size(), separator ? 1u : 0u) << int(layout);
    if (separator) {
      const iltest::DrawnLine& line = canvas.lines[0];
      EXPECT_EQ(std::make_tuple(line.x1, line.y1, line.x2, line.y2),
                std::make_tuple(0, 74, 180, 74));
      EXPECT_EQ(line.pen, toolkit::clSilver);
    }
  }
}

TEST_F(DrawStep, TitleHasItsOwnFontAndASelectedEntryTheHighlight) {
  for (const bool selected : {false, true}) {
    const FixedCanvas canvas = Draw(il::itab, selected ? toolkit::odSelected : 0);
    const toolkit::TColor background = selected ? toolkit::clHighlight : toolkit::clWindow;
    EXPECT_EQ(canvas.fill_colors, std::vector<toolkit::TColor>{background});
    ASSERT_EQ(canvas.texts.size(), 4u);
    EXPECT_EQ(canvas.texts[0].font.Color, toolkit::clPurple);
    EXPECT_EQ(canvas.texts[0].font.Style, toolkit::fsItalic);
    for (const iltest::DrawnText& text : canvas.texts) EXPECT_EQ(text.brush, background);
    EXPECT_EQ(canvas.texts[1].font.Color, selected ? toolkit::clHighlightText : toolkit::clBlack);
    EXPECT_EQ(canvas.texts[1].font.Style, 0);
  }
}

// On screen it paints, measures its entries again when its width changes and
// scrolls to its end.
TEST(IndentListBoxWidget, PaintsAndMeasuresAgainOnResize) {
  il::TIndentListBox box;
  box.SetPosIndent(100);
  box.resize(500, 200);
  box.show();
  const std::string long_text(300, 'w');
  for (int i = 0; i < 30; ++i) box.AddItem("nick" + std::to_string(i) + " |" + long_text);
  box.AddItem("\xC3\xA9t\xC3\xA9 |caf\xE9 in Windows-1252");

  const int wide_height = box.RowHeight(0);
  EXPECT_GT(box.LineHeight(), 0);
  EXPECT_EQ(wide_height % box.LineHeight(), 0);
  box.resize(250, 200);
  EXPECT_GT(box.RowHeight(0), wide_height);

  // The newest entry as the top row, as far as the list scrolls: the view ends
  // with the last entry, and one entry more would not fit.
  box.SetTopIndex(box.Count() - 1);
  EXPECT_GT(box.TopIndex(), 0);
  EXPECT_LE(box.ItemRect(box.Count() - 1).Bottom, box.viewport()->height());
  EXPECT_GT(box.RowHeight(box.TopIndex() - 1) + box.ItemRect(box.Count() - 1).Bottom,
            box.viewport()->height());

  // The separator is the last row of pixels of the top entry.
  box.SetItemIndex(-1);
  QImage image(box.viewport()->size(), QImage::Format_RGB32);
  box.viewport()->render(&image);
  const int separator_row = box.RowHeight(box.TopIndex()) - 1;
  EXPECT_EQ(image.pixelColor(box.viewport()->width() / 2, separator_row), QColor(192, 192, 192));
}

// A styler that makes 0x02 (\002) a bold toggle and counts the texts it is asked for.
il::TTextStyler CountingStyler(int& calls) {
  return [&calls](std::string_view text) {
    ++calls;
    il::TStyledText runs;
    bool bold = false;
    for (const char c : text) {
      if (c == '\002') {
        bold = !bold;
      } else if (runs.empty() || (runs.back().Style == kBold) != bold) {
        runs.push_back(iltest::StyledRun(std::string(1, c), bold ? kBold : 0));
      } else {
        runs.back().Text += c;
      }
    }
    return runs;
  };
}

TEST(StyledList, TextWithoutFormattingNeverReachesTheStyler) {
  int calls = 0;
  il::TIndentListBox box;
  box.resize(200, 300);
  box.SetStyler(CountingStyler(calls));
  box.AddItem("bob|" + std::string(50, 'x'));
  FixedCanvas canvas;
  int height = box.ItemHeight();
  box.MeasureItem(canvas, 0, height);
  box.PaintItem(canvas, 0, {0, 0, 180, height}, 0);
  EXPECT_EQ(height, 3 * 13);
  EXPECT_EQ(canvas.texts.size(), 4u);
  EXPECT_EQ(box.ItemText(0), "bob: " + std::string(50, 'x'));
  EXPECT_EQ(calls, 0);
}

// An entry reads as "title: text" and copies as "title text"; a styled list
// reads its entries without their formatting.
TEST(ItemText, ReadsTitleAndTextWithoutFormattingAndCopiesTitleText) {
  int calls = 0;
  il::TIndentListBox styled;
  styled.SetStyler(CountingStyler(calls));
  il::TIndentListBox plain;
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"bob|hi", "bob: hi", "bob: hi", "bob hi"},
      {"alice |hello there", "alice: hello there", "alice: hello there", "alice hello there"},
      {"New:|bob", "New: bob", "New: bob", "New: bob"},
      {"carol|a|b", "carol: a|b", "carol: a|b", "carol a|b"},
      {"bob |\002hi\002!", "bob: hi!", "bob: \002hi\002!", "bob \002hi\002!"},
      {"\002bo\002b|x", "bob: x", "\002bo\002b: x", "\002bo\002b x"},
      {"no bar", "no bar", "no bar", "no bar"},
      {"|text", "text", "text", "text"},
      {"\002|text", "text", "\002: text", "\002 text"},
  };
  for (const auto& [entry, read_styled, read_plain, copied] : cases) {
    styled.AddItem(entry);
    plain.AddItem(entry);
    EXPECT_EQ(styled.ItemText(styled.Count() - 1), read_styled) << entry;
    EXPECT_EQ(plain.ItemText(plain.Count() - 1), read_plain) << entry;
    EXPECT_EQ(plain.ItemCopyText(plain.Count() - 1), copied) << entry;
  }
}

}  // namespace
