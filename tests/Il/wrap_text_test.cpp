// Cutting text into lines: word and character breaks, blanks, UTF-8 and widths
// too small for anything.
#include "Il/wrap_text.h"

#include <gtest/gtest.h>

#include "Il/chat_entry.h"
#include "platform/toolkit/utf8.h"
#include "tests/Il/fixed_canvas.h"

namespace {

using Lines = std::vector<std::string>;

struct WrapCase {
  const char* name;
  std::string text;
  int width;  // with 6 pixels a byte
  Lines expected;
};

void PrintTo(const WrapCase& c, std::ostream* os) {
  *os << c.name;
}

const std::string e_acute = "\xC3\xA9";           // 2 bytes, 12 pixels
const std::string grinning = "\xF0\x9F\x98\x80";  // 4 bytes, 24 pixels

class WrapTextTest : public testing::TestWithParam<WrapCase> {};

TEST_P(WrapTextTest, CutsAsExpected) {
  const WrapCase& c = GetParam();
  iltest::FixedCanvas canvas;
  Lines lines = {"left over"};
  il::WrapText(c.text, lines, canvas, c.width);
  EXPECT_EQ(lines, c.expected);
  // Nothing is lost or added but the trailing blanks, and no character is split.
  std::string joined;
  for (const std::string& line : lines) {
    joined += line;
    EXPECT_TRUE(toolkit::IsValidUtf8(line) || !toolkit::IsValidUtf8(c.text)) << line;
  }
  EXPECT_EQ(joined, c.text.substr(0, c.text.find_last_not_of(' ') + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, WrapTextTest,
    testing::Values(
        WrapCase{"ExactFit", "hello", 30, {"hello"}},
        WrapCase{"TrailingBlanksIgnored", "hello   ", 30, {"hello"}},
        WrapCase{"EmptyText", "", 10, {""}}, WrapCase{"OnlyBlanks", "   ", 10, {""}},
        WrapCase{"BlankAfterWordStaysOnLine", "hello world", 30, {"hello ", "world"}},
        WrapCase{"LastBlankThatFits", "one two three", 48, {"one two ", "three"}},
        WrapCase{"WordLongerThanWidth", "abcdefghij", 24, {"abcd", "efgh", "ij"}},
        WrapCase{"ShortWordThenLongWord", "ab cdefghijkl", 30, {"ab ", "cdefg", "hijkl"}},
        WrapCase{"LeadingBlanksNoWordBreak", "  abcdefgh", 24, {"  ab", "cdef", "gh"}},
        WrapCase{"ZeroWidth", "abc", 0, {"a", "b", "c"}},
        WrapCase{"NegativeWidth", "ab", -40, {"a", "b"}},
        WrapCase{"NegativeWidthEmpty", "", -40, {""}},
        WrapCase{
            "TwoByteCharsKeptWhole", e_acute + e_acute + e_acute, 30, {e_acute + e_acute, e_acute}},
        WrapCase{"CharWiderThanWidth", e_acute + e_acute, 6, {e_acute, e_acute}},
        WrapCase{"FourByteChar", "a" + grinning + "b", 12, {"a", grinning, "b"}},
        WrapCase{"InvalidBytesAreChars", "\xC3x\xC3\xFF", 12, {"\xC3x", "\xC3\xFF"}}),
    [](const testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.name); });

// Bytes of uneven widths, so that a guess from the average width is off.
class UnevenCanvas : public iltest::FixedCanvas {
 public:
  int TextWidth(std::string_view text) override {
    int width = 0;
    for (const char c : text) width += static_cast<unsigned char>(c) % 7 + 1;
    return width;
  }
};

// The longest line that fits, found by growing it one byte at a time: the
// reference for the search (these texts are ASCII).
std::size_t LinearFit(UnevenCanvas& canvas, const std::string& rest, int width) {
  std::size_t count = 0;
  while (count < rest.size()) {
    const std::string longer = rest.substr(0, count + 1);
    if (width < canvas.TextWidth(longer.substr(0, longer.find_last_not_of(' ') + 1))) break;
    ++count;
  }
  return count;
}

TEST(WrapTextSearch, FindsTheLongestLineThatFitsWhateverTheWidths) {
  const std::string texts[] = {"iiii WWWW iiiiiiii WW i WWWWWWWWWWWW iiiiiiiiiiii",
                               "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii",
                               "a bb ccc dddd eeeee ffffff ggggggg hhhhhhhh"};
  UnevenCanvas canvas;
  Lines lines;
  for (const std::string& text : texts) {
    for (int width = -3; width < 120; width += 7) {
      il::WrapText(text, lines, canvas, width);
      std::string rest = text;
      for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::size_t fit = LinearFit(canvas, rest, width);
        const std::string& line = lines[i];
        // A word break ends after the last blank of the part that fits.
        const std::size_t word_end = rest.substr(0, fit).rfind(' ') + 1;
        EXPECT_TRUE(line.size() == std::max<std::size_t>(fit, 1) || line.size() == word_end)
            << text << " at " << width << ": " << line;
        EXPECT_EQ(line, rest.substr(0, line.size()));
        rest = rest.substr(line.size());
      }
      EXPECT_EQ(lines.back(), rest);
      EXPECT_TRUE(LinearFit(canvas, rest, width) == rest.size() || rest.size() == 1);
    }
  }
}

TEST(SplitEntry, TitleIsBeforeTheFirstBar) {
  EXPECT_EQ(il::SplitEntry("alice |hi there"), (il::TChatEntry{"alice ", "hi there"}));
  EXPECT_EQ(il::SplitEntry("a|b|c"), (il::TChatEntry{"a", "b|c"}));
  EXPECT_EQ(il::SplitEntry("|text"), (il::TChatEntry{"", "text"}));
  EXPECT_EQ(il::SplitEntry("title|"), (il::TChatEntry{"title", ""}));
  EXPECT_EQ(il::SplitEntry("no bar"), (il::TChatEntry{" ", "no bar"}));
  EXPECT_EQ(il::SplitEntry(""), (il::TChatEntry{" ", ""}));
}

}  // namespace
