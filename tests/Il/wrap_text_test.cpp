// Cutting text into lines: word and character breaks, blanks, UTF-8 and widths
// too small for anything; styled text measured run by run in its own font and
// cut between and inside runs.
#include "Il/wrap_text.h"

#include <gtest/gtest.h>

#include <tuple>

#include "bytes/utf8.h"
#include "tests/Il/fixed_canvas.h"
#include "tests/Il/styled_runs.h"

namespace {

using Lines = std::vector<std::string>;
using il::TStyledText;
using iltest::StyledRun;
constexpr toolkit::TFontStyles kBold = toolkit::fsBold;
constexpr toolkit::TColor kRed = toolkit::RGB(255, 0, 0);
constexpr toolkit::TColor kYellow = toolkit::RGB(255, 255, 0);

const std::string e_acute = "\xC3\xA9";           // 2 bytes, 12 pixels
const std::string grinning = "\xF0\x9F\x98\x80";  // 4 bytes, 24 pixels

TEST(WrapText, CutsAtWordsOrCharacters) {
  const std::tuple<const char*, std::string, int, Lines> cases[] = {
      // Widths with 6 pixels a byte.
      {"ExactFit", "hello", 30, {"hello"}},
      {"TrailingBlanksIgnored", "hello   ", 30, {"hello"}},
      {"EmptyText", "", 10, {""}},
      {"OnlyBlanks", "   ", 10, {""}},
      {"BlankAfterWordStaysOnLine", "hello world", 30, {"hello ", "world"}},
      {"LastBlankThatFits", "one two three", 48, {"one two ", "three"}},
      {"WordLongerThanWidth", "abcdefghij", 24, {"abcd", "efgh", "ij"}},
      {"ShortWordThenLongWord", "ab cdefghijkl", 30, {"ab ", "cdefg", "hijkl"}},
      {"LeadingBlanksNoWordBreak", "  abcdefgh", 24, {"  ab", "cdef", "gh"}},
      {"ZeroWidth", "abc", 0, {"a", "b", "c"}},
      {"NegativeWidth", "ab", -40, {"a", "b"}},
      {"NegativeWidthEmpty", "", -40, {""}},
      {"TwoByteCharsKeptWhole", e_acute + e_acute + e_acute, 30, {e_acute + e_acute, e_acute}},
      {"CharWiderThanWidth", e_acute + e_acute, 6, {e_acute, e_acute}},
      {"FourByteChar", "a" + grinning + "b", 12, {"a", grinning, "b"}},
      {"InvalidBytesAreChars", "\xC3x\xC3\xFF", 12, {"\xC3x", "\xC3\xFF"}},
  };
  for (const auto& [name, text, width, expected] : cases) {
    SCOPED_TRACE(name);
    iltest::FixedCanvas canvas;
    Lines lines = {"left over"};
    il::WrapText(text, lines, canvas, width);
    EXPECT_EQ(lines, expected);
    // Nothing is lost or added but the trailing blanks, and no character is split.
    std::string joined;
    for (const std::string& line : lines) {
      joined += line;
      EXPECT_TRUE(bytes::IsValidUtf8(line) || !bytes::IsValidUtf8(text)) << line;
    }
    EXPECT_EQ(joined, text.substr(0, text.find_last_not_of(' ') + 1));
  }
}

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

}  // namespace
