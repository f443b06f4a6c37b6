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

TEST(SplitEntry, TitleIsBeforeTheFirstBar) {
  EXPECT_EQ(il::SplitEntry("alice |hi there"), (il::TChatEntry{"alice ", "hi there"}));
  EXPECT_EQ(il::SplitEntry("a|b|c"), (il::TChatEntry{"a", "b|c"}));
  EXPECT_EQ(il::SplitEntry("|text"), (il::TChatEntry{"", "text"}));
  EXPECT_EQ(il::SplitEntry("title|"), (il::TChatEntry{"title", ""}));
  EXPECT_EQ(il::SplitEntry("no bar"), (il::TChatEntry{" ", "no bar"}));
  EXPECT_EQ(il::SplitEntry(""), (il::TChatEntry{" ", ""}));
}

}  // namespace
