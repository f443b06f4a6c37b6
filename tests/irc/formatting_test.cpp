// The formatting codes of IRC text: toggles, colour codes and their digits,
// hex colours, reset, other controls made visible, tabs.
#include "irc/formatting.h"

#include <gtest/gtest.h>

#include <sstream>

namespace irc {
namespace {

using Runs = std::vector<TFormattedRun>;
using namespace std::string_literals;

// A style from letters: b bold, i italic, u underline, s strike, m monospace,
// r reverse.
TTextStyle With(std::string_view flags, TTextColour foreground = {}, TTextColour background = {}) {
  TTextStyle style;
  style.Bold = flags.find('b') != std::string_view::npos;
  style.Italic = flags.find('i') != std::string_view::npos;
  style.Underline = flags.find('u') != std::string_view::npos;
  style.Strike = flags.find('s') != std::string_view::npos;
  style.Monospace = flags.find('m') != std::string_view::npos;
  style.Reverse = flags.find('r') != std::string_view::npos;
  style.Foreground = foreground;
  style.Background = background;
  return style;
}

const TTextColour kWhite = TRgb{0xFF, 0xFF, 0xFF};
const TTextColour kBlue = TRgb{0x00, 0x00, 0x7F};
const TTextColour kRed = TRgb{0xFF, 0x00, 0x00};
const TTextColour kBrown = TRgb{0x7F, 0x00, 0x00};
const TTextColour kMagenta = TRgb{0x9C, 0x00, 0x9C};
const TTextColour kYellow = TRgb{0xFF, 0xFF, 0x00};
const TTextColour kLightBlue = TRgb{0x00, 0x00, 0xFC};
const TTextColour kOrange = TRgb{0xFF, 0x80, 0x00};
const TTextColour kNavy = TRgb{0x00, 0x00, 0x80};

struct RunsCase {
  const char* name;
  std::string text;
  Runs runs;
};

void PrintTo(const RunsCase& c, std::ostream* os) {
  *os << c.name;
}

class FormattedRunsTest : public testing::TestWithParam<RunsCase> {};

TEST_P(FormattedRunsTest, GivesTheRuns) {
  const RunsCase& c = GetParam();
  EXPECT_EQ(FormattedRuns(c.text), c.runs);
  std::string joined;
  for (const TFormattedRun& run : c.runs) joined += run.Text;
  EXPECT_EQ(PlainText(c.text), joined);
}

INSTANTIATE_TEST_SUITE_P(
    Toggles, FormattedRunsTest,
    testing::Values(RunsCase{"Plain", "hello", {{"hello", {}}}}, RunsCase{"Empty", "", {}},
                    RunsCase{"OnlyCodes",
                             "\x02\x03"
                             "04\x0F",
                             {}},
                    RunsCase{"BoldOnOff",
                             "a\x02"
                             "b\x02"
                             "c",
                             {{"a", {}}, {"b", With("b")}, {"c", {}}}},
                    RunsCase{"Italic", "\x1Dx", {{"x", With("i")}}},
                    RunsCase{"Underline", "\x1Fx", {{"x", With("u")}}},
                    RunsCase{"Strike", "\x1Ex", {{"x", With("s")}}},
                    RunsCase{"Monospace", "\x11x", {{"x", With("m")}}},
                    RunsCase{"Reverse", "\x16x\x16y", {{"x", With("r")}, {"y", {}}}},
                    RunsCase{
                        "AllAtOnceLeftOpen", "\x02\x1D\x1F\x1E\x11\x16x", {{"x", With("biusmr")}}},
                    RunsCase{"SameStyleMerged",
                             "a\x02\x02"
                             "b",
                             {{"ab", {}}}},
                    RunsCase{"ResetEndsAll",
                             "\x02\x1D\x03"
                             "04,05a\x0F"
                             "b",
                             {{"a", With("bi", kRed, kBrown)}, {"b", {}}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Colours, FormattedRunsTest,
    testing::Values(RunsCase{"OneDigit",
                             "\x03"
                             "4red",
                             {{"red", With("", kRed)}}},
                    RunsCase{"TwoDigits",
                             "\x03"
                             "04red",
                             {{"red", With("", kRed)}}},
                    RunsCase{"NeverThreeDigits",
                             "\x03"
                             "123",
                             {{"3", With("", kLightBlue)}}},
                    RunsCase{"Background",
                             "\x03"
                             "12,08x",
                             {{"x", With("", kLightBlue, kYellow)}}},
                    RunsCase{"OneDigitBackground",
                             "\x03"
                             "4,123",
                             {{"3", With("", kRed, kLightBlue)}}},
                    RunsCase{"CommaWithoutDigitIsText",
                             "\x03"
                             "12,x",
                             {{",x", With("", kLightBlue)}}},
                    RunsCase{"CommaAtTheEnd",
                             "\x03"
                             "12,",
                             {{",", With("", kLightBlue)}}},
                    RunsCase{"NoForegroundResetsAndCommaStays",
                             "\x03"
                             "04,02a\x03,08b",
                             {{"a", With("", kRed, kBlue)}, {",08b", {}}}},
                    RunsCase{"BareCodeResetsBoth",
                             "\x03"
                             "04,02a\x03"
                             "b",
                             {{"a", With("", kRed, kBlue)}, {"b", {}}}},
                    RunsCase{"ForegroundAloneKeepsBackground",
                             "\x03"
                             "04,05a\x03"
                             "06b",
                             {{"a", With("", kRed, kBrown)}, {"b", With("", kMagenta, kBrown)}}},
                    RunsCase{"NinetyNineIsDefault",
                             "\x03"
                             "04,05a\x03"
                             "99b\x03"
                             "04,99c",
                             {{"a", With("", kRed, kBrown)},
                              {"b", With("", {}, kBrown)},
                              {"c", With("", kRed)}}},
                    RunsCase{"Extended",
                             "\x03"
                             "52,98x",
                             {{"x", With("", kRed, kWhite)}}},
                    RunsCase{"ColourOnly",
                             "\x03"
                             "04,05",
                             {}},
                    RunsCase{"ColourKeepsToggles",
                             "\x02\x03"
                             "04x",
                             {{"x", With("b", kRed)}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    HexColours, FormattedRunsTest,
    testing::Values(RunsCase{"Foreground",
                             "\x04"
                             "FF8000x",
                             {{"x", With("", kOrange)}}},
                    RunsCase{"LowerCaseAndBackground",
                             "\x04"
                             "ff8000,000080x",
                             {{"x", With("", kOrange, kNavy)}}},
                    RunsCase{"ShortIsAResetAndText",
                             "\x03"
                             "04a\x04"
                             "FF800",
                             {{"a", With("", kRed)}, {"FF800", {}}}},
                    RunsCase{"NotHex",
                             "\x04"
                             "FF80G0x",
                             {{"FF80G0x", {}}}},
                    RunsCase{"ShortBackgroundIsText",
                             "\x04"
                             "FF8000,12x",
                             {{",12x", With("", kOrange)}}},
                    RunsCase{"ThenNumbered",
                             "\x04"
                             "FF8000a\x03"
                             "04b",
                             {{"a", With("", kOrange)}, {"b", With("", kRed)}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OtherControls, FormattedRunsTest,
    testing::Values(RunsCase{"SymbolInStyle",
                             "a\x02\x01"
                             "b",
                             {{"a", {}},
                              {"\xE2\x90\x81"
                               "b",
                               With("b")}}},
                    RunsCase{"Nul",
                             "a\0b"s,
                             {{"a\xE2\x90\x80"
                               "b",
                               {}}}},
                    RunsCase{"LineEnds", "\r\n", {{"\xE2\x90\x8D\xE2\x90\x8A", {}}}},
                    RunsCase{"Escape", "\x1B", {{"\xE2\x90\x9B", {}}}},
                    RunsCase{"Delete", "\x7F", {{"\xE2\x90\xA1", {}}}},
                    RunsCase{"OtherBytesPass", "caf\xE9\x02!", {{"caf\xE9", {}}, {"!", With("b")}}},
                    RunsCase{"TabAtStart", "\tx", {{"        x", {}}}},
                    RunsCase{"TabToNextStop", "abc\tx", {{"abc     x", {}}}},
                    RunsCase{"TabAtAStop", "12345678\tx", {{"12345678        x", {}}}},
                    RunsCase{"TabCountsCharacters", "\xC3\xA9\tx", {{"\xC3\xA9       x", {}}}},
                    RunsCase{"TabCountsAnInvalidByteOnce", "\xE9\tx", {{"\xE9       x", {}}}},
                    RunsCase{"TabSkipsCodesCountsSymbols",
                             "\x03"
                             "04ab\x01\t\x02x",
                             {{"ab\xE2\x90\x81     ", With("", kRed)}, {"x", With("b", kRed)}}},
                    RunsCase{"TwoTabs", "a\tb\tc", {{"a       b       c", {}}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

TEST(ColourOfCode, ClassicExtendedAndDefault) {
  const std::pair<int, TTextColour> known[] = {{0, kWhite},
                                               {1, TRgb{0, 0, 0}},
                                               {2, kBlue},
                                               {15, TRgb{0xD2, 0xD2, 0xD2}},
                                               {16, TRgb{0x47, 0, 0}},
                                               {27, TRgb{0x47, 0, 0x2A}},
                                               {52, kRed},
                                               {87, TRgb{0xFF, 0x94, 0xD3}},
                                               {88, TRgb{0, 0, 0}},
                                               {98, kWhite},
                                               {99, std::nullopt},
                                               {100, std::nullopt},
                                               {-1, std::nullopt}};
  for (const auto& [code, colour] : known) EXPECT_EQ(ColourOfCode(code), colour) << code;
  for (int code = 0; code < 99; ++code) EXPECT_TRUE(ColourOfCode(code).has_value()) << code;
}

TEST(PlainText, TextWithoutControlsIsItself) {
  const std::string texts[] = {"", "hello", "caf\xE9 \xC3\xA9", "\x80\xFF ~"};
  for (const std::string& text : texts) {
    EXPECT_FALSE(HasControlBytes(text));
    EXPECT_EQ(PlainText(text), text);
  }
  for (const std::string text : {"\x02", "a\x7F", "\t", "\x1F"}) {
    EXPECT_TRUE(HasControlBytes(text)) << text;
  }
}

TEST(FormattedRun, PrintsTextStyleAndColours) {
  std::ostringstream out;
  out << TFormattedRun{"hi", With("bu", kRed, kBlue)} << '|' << TFormattedRun{"x", {}};
  EXPECT_EQ(out.str(), "\"hi\" bold underline fg=255,0,0 bg=0,0,127|\"x\"");
}

}  // namespace
}  // namespace irc
