// Styled text on a canvas of fixed metrics: wrapping measures each run in its
// own font and cuts between and inside runs, and the chat list asks its styler
// only for text that carries formatting.
#include <gtest/gtest.h>

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

struct StyledWrapCase {
  const char* name;
  TStyledText runs;
  int width;
  std::vector<TStyledText> lines;
};

void PrintTo(const StyledWrapCase& c, std::ostream* os) {
  *os << c.name;
}

class WrapStyledTest : public testing::TestWithParam<StyledWrapCase> {};

TEST_P(WrapStyledTest, CutsAsExpected) {
  const StyledWrapCase& c = GetParam();
  BoldWideCanvas canvas;
  const toolkit::TFont font{"Arial", -11, toolkit::clBlack, toolkit::fsItalic};
  canvas.SetFont(font);
  std::vector<TStyledText> lines = {{StyledRun("left over")}};
  il::WrapStyled(c.runs, lines, canvas, c.width);
  EXPECT_EQ(lines, c.lines);
  EXPECT_EQ(canvas.Font(), font);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, WrapStyledTest,
    testing::Values(StyledWrapCase{"Fits",
                                   {StyledRun("ab"), StyledRun("cd", kBold)},
                                   30,
                                   {{StyledRun("ab"), StyledRun("cd", kBold)}}},
                    StyledWrapCase{"Empty", {}, 30, {{}}},
                    StyledWrapCase{"TrailingBlanksDropped",
                                   {StyledRun("ab"), StyledRun("  ", kBold)},
                                   6,
                                   {{StyledRun("a")}, {StyledRun("b")}}},
                    // 20 bytes: 120 pixels plain, 180 bold.
                    StyledWrapCase{"BoldMeasuredBold",
                                   {StyledRun(std::string(20, 'x'), kBold)},
                                   132,
                                   {{StyledRun(std::string(14, 'x'), kBold)},
                                    {StyledRun(std::string(6, 'x'), kBold)}}},
                    StyledWrapCase{"CutInsideARun",
                                   {StyledRun("ab"), StyledRun("cdefgh", kBold)},
                                   30,
                                   {{StyledRun("ab"), StyledRun("cd", kBold)},
                                    {StyledRun("efg", kBold)},
                                    {StyledRun("h", kBold)}}},
                    StyledWrapCase{"WordBreakBetweenRuns",
                                   {StyledRun("aaaa "), StyledRun("bbbb", 0, kRed, kYellow)},
                                   30,
                                   {{StyledRun("aaaa ")}, {StyledRun("bbbb", 0, kRed, kYellow)}}},
                    StyledWrapCase{"ContinuationKeepsStyle",
                                   {StyledRun("aa bb", 0, kRed, std::nullopt, true)},
                                   12,
                                   {{StyledRun("aa ", 0, kRed, std::nullopt, true)},
                                    {StyledRun("bb", 0, kRed, std::nullopt, true)}}},
                    StyledWrapCase{"SymbolKeptWhole",
                                   {StyledRun("\u2401\u2402")},
                                   18,
                                   {{StyledRun("\u2401")}, {StyledRun("\u2402")}}}),
    [](const testing::TestParamInfo<StyledWrapCase>& info) {
      return std::string(info.param.name);
    });

// A styler that makes 0x02 (\002) a bold toggle and counts the texts it is asked for.
class CountingStyler {
 public:
  explicit CountingStyler(int& calls) : calls_(calls) {}
  TStyledText operator()(std::string_view text) const {
    ++calls_;
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
  }

 private:
  int& calls_;
};

class StyledList : public testing::Test {
 protected:
  StyledList() {
    box.resize(200, 300);
    box.SetStyler(CountingStyler(calls));
  }
  // Measures and draws entry 0 the way the host does.
  BoldWideCanvas MeasureAndDraw(int& height) {
    BoldWideCanvas canvas;
    height = box.ItemHeight();
    box.MeasureItem(canvas, 0, height);
    box.PaintItem(canvas, 0, {0, 0, 180, height}, 0);
    return canvas;
  }

  int calls = 0;
  il::TIndentListBox box;
};

TEST_F(StyledList, TextWithoutFormattingNeverReachesTheStyler) {
  box.AddItem("bob|" + std::string(50, 'x'));
  int height = 0;
  const BoldWideCanvas canvas = MeasureAndDraw(height);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(height, 3 * 13);
  ASSERT_EQ(canvas.texts.size(), 4u);
  EXPECT_EQ(box.ItemText(0), "bob: " + std::string(50, 'x'));
  EXPECT_EQ(calls, 0);
}

TEST(ItemText, ReadsTitleAndTextWithoutFormatting) {
  int calls = 0;
  il::TIndentListBox styled;
  styled.SetStyler(CountingStyler(calls));
  il::TIndentListBox plain;
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"bob|hi", "bob: hi", "bob: hi"},
      {"bob |\002hi\002!", "bob: hi!", "bob: \002hi\002!"},
      {"\002bo\002b|x", "bob: x", "\002bo\002b: x"},
      {"no bar", "no bar", "no bar"},
      {"|text", "text", "text"},
      {"\002|text", "text", "\002: text"},
  };
  for (const auto& [entry, read_styled, read_plain] : cases) {
    styled.AddItem(entry);
    plain.AddItem(entry);
    EXPECT_EQ(styled.ItemText(styled.Count() - 1), read_styled) << entry;
    EXPECT_EQ(plain.ItemText(plain.Count() - 1), read_plain) << entry;
  }
}

}  // namespace
