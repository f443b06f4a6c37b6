// Styled text on a canvas of fixed metrics: wrapping measures each run in its
// own font and cuts between and inside runs, and the chat list asks its styler
// only for text that carries formatting.
#include <gtest/gtest.h>

#include <tuple>

#include "Il/indent_list_box.h"
#include "Il/wrap_text.h"
#include "tests/Il/fixed_canvas.h"
#include "tests/Il/styled_runs.h"

namespace {

using il::TStyledText;
using iltest::StyledRun;
constexpr toolkit::TFontStyles kBold = toolkit::fsBold;
constexpr toolkit::TColor kRed = toolkit::RGB(255, 0, 0);
constexpr toolkit::TColor kYellow = toolkit::RGB(255, 255, 0);

// Bold bytes are 9 pixels wide, others 6.
class BoldWideCanvas : public iltest::FixedCanvas {
 public:
  int TextWidth(std::string_view text) override {
    return static_cast<int>(text.size()) * ((Font().Style & toolkit::fsBold) != 0 ? 9 : 6);
  }
};

TEST(WrapStyled, CutsBetweenAndInsideRuns) {
  const std::tuple<const char*, TStyledText, int, std::vector<TStyledText>> cases[] = {
      {"Fits",
       {StyledRun("ab"), StyledRun("cd", kBold)},
       30,
       {{StyledRun("ab"), StyledRun("cd", kBold)}}},
      {"Empty", {}, 30, {{}}},
      {"TrailingBlanksDropped",
       {StyledRun("ab"), StyledRun("  ", kBold)},
       6,
       {{StyledRun("a")}, {StyledRun("b")}}},
      // 20 bytes: 120 pixels plain, 180 bold.
      {"BoldMeasuredBold",
       {StyledRun(std::string(20, 'x'), kBold)},
       132,
       {{StyledRun(std::string(14, 'x'), kBold)}, {StyledRun(std::string(6, 'x'), kBold)}}},
      {"CutInsideARun",
       {StyledRun("ab"), StyledRun("cdefgh", kBold)},
       30,
       {{StyledRun("ab"), StyledRun("cd", kBold)},
        {StyledRun("efg", kBold)},
        {StyledRun("h", kBold)}}},
      {"WordBreakBetweenRuns",
       {StyledRun("aaaa "), StyledRun("bbbb", 0, kRed, kYellow)},
       30,
       {{StyledRun("aaaa ")}, {StyledRun("bbbb", 0, kRed, kYellow)}}},
      {"ContinuationKeepsStyle",
       {StyledRun("aa bb", 0, kRed, std::nullopt, true)},
       12,
       {{StyledRun("aa ", 0, kRed, std::nullopt, true)},
        {StyledRun("bb", 0, kRed, std::nullopt, true)}}},
      {"SymbolKeptWhole",
       {StyledRun("\u2401\u2402")},
       18,
       {{StyledRun("\u2401")}, {StyledRun("\u2402")}}},
  };
  const toolkit::TFont font{"Arial", -11, toolkit::clBlack, toolkit::fsItalic};
  for (const auto& [name, runs, width, expected] : cases) {
    BoldWideCanvas canvas;
    canvas.SetFont(font);
    std::vector<TStyledText> lines = {{StyledRun("left over")}};
    il::WrapStyled(runs, lines, canvas, width);
    EXPECT_EQ(lines, expected) << name;
    EXPECT_EQ(canvas.Font(), font) << name;
  }
}

// A styler that makes 0x02 (\002) a bold toggle and counts the texts it is asked for.
il::TTextStyler CountingStyler(int& calls) {
  return [&calls](std::string_view text) {
    ++calls;
    TStyledText runs;
    bool bold = false;
    for (const char c : text) {
      if (c == '\002') {
        bold = !bold;
      } else if (runs.empty() || (runs.back().Style == kBold) != bold) {
        runs.push_back(StyledRun(std::string(1, c), bold ? kBold : 0));
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
  BoldWideCanvas canvas;
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
