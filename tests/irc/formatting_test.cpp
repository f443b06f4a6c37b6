// The formatting codes of IRC text: toggles, colour codes and their digits,
// hex colours, reset, other controls made visible, tabs.
#include "irc/formatting.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/format_codes.h"

namespace irc {
namespace {

using Runs = std::vector<TFormattedRun>;
using namespace std::string_literals;
using testsupport::Codes;

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
                    RunsCase{"OnlyCodes", Codes("^B^C04^O"), {}},
                    RunsCase{
                        "BoldOnOff", Codes("a^Bb^Bc"), {{"a", {}}, {"b", With("b")}, {"c", {}}}},
                    RunsCase{"Italic", Codes("^Ix"), {{"x", With("i")}}},
                    RunsCase{"Underline", Codes("^Ux"), {{"x", With("u")}}},
                    RunsCase{"Strike", Codes("^Sx"), {{"x", With("s")}}},
                    RunsCase{"Monospace", Codes("^Mx"), {{"x", With("m")}}},
                    RunsCase{"Reverse", Codes("^Rx^Ry"), {{"x", With("r")}, {"y", {}}}},
                    RunsCase{"AllAtOnceLeftOpen", Codes("^B^I^U^S^M^Rx"), {{"x", With("biusmr")}}},
                    RunsCase{"SameStyleMerged", Codes("a^B^Bb"), {{"ab", {}}}},
                    RunsCase{"ResetEndsAll",
                             Codes("^B^I^C04,05a^Ob"),
                             {{"a", With("bi", kRed, kBrown)}, {"b", {}}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Colours, FormattedRunsTest,
    testing::Values(
        RunsCase{"OneDigit", Codes("^C4red"), {{"red", With("", kRed)}}},
        RunsCase{"TwoDigits", Codes("^C04red"), {{"red", With("", kRed)}}},
        RunsCase{"NeverThreeDigits", Codes("^C123"), {{"3", With("", kLightBlue)}}},
        RunsCase{"Background", Codes("^C12,08x"), {{"x", With("", kLightBlue, kYellow)}}},
        RunsCase{"OneDigitBackground", Codes("^C4,123"), {{"3", With("", kRed, kLightBlue)}}},
        RunsCase{"CommaWithoutDigitIsText", Codes("^C12,x"), {{",x", With("", kLightBlue)}}},
        RunsCase{"CommaAtTheEnd", Codes("^C12,"), {{",", With("", kLightBlue)}}},
        RunsCase{"NoForegroundResetsAndCommaStays",
                 Codes("^C04,02a^C,08b"),
                 {{"a", With("", kRed, kBlue)}, {",08b", {}}}},
        RunsCase{
            "BareCodeResetsBoth", Codes("^C04,02a^Cb"), {{"a", With("", kRed, kBlue)}, {"b", {}}}},
        RunsCase{"ForegroundAloneKeepsBackground",
                 Codes("^C04,05a^C06b"),
                 {{"a", With("", kRed, kBrown)}, {"b", With("", kMagenta, kBrown)}}},
        RunsCase{
            "NinetyNineIsDefault",
            Codes("^C04,05a^C99b^C04,99c"),
            {{"a", With("", kRed, kBrown)}, {"b", With("", {}, kBrown)}, {"c", With("", kRed)}}},
        RunsCase{"Extended", Codes("^C52,98x"), {{"x", With("", kRed, kWhite)}}},
        RunsCase{"ColourOnly", Codes("^C04,05"), {}},
        RunsCase{"ColourKeepsToggles", Codes("^B^C04x"), {{"x", With("b", kRed)}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    HexColours, FormattedRunsTest,
    testing::Values(
        RunsCase{"Foreground", Codes("^HFF8000x"), {{"x", With("", kOrange)}}},
        RunsCase{
            "LowerCaseAndBackground", Codes("^Hff8000,000080x"), {{"x", With("", kOrange, kNavy)}}},
        RunsCase{
            "ShortIsAResetAndText", Codes("^C04a^HFF800"), {{"a", With("", kRed)}, {"FF800", {}}}},
        RunsCase{"NotHex", Codes("^HFF80G0x"), {{"FF80G0x", {}}}},
        RunsCase{"ShortBackgroundIsText", Codes("^HFF8000,12x"), {{",12x", With("", kOrange)}}},
        RunsCase{"ThenNumbered",
                 Codes("^HFF8000a^C04b"),
                 {{"a", With("", kOrange)}, {"b", With("", kRed)}}}),
    [](const testing::TestParamInfo<RunsCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OtherControls, FormattedRunsTest,
    testing::Values(
        RunsCase{"SymbolInStyle", Codes("a^B\001b"), {{"a", {}}, {"\u2401b", With("b")}}},
        RunsCase{"Nul", "a\0b"s, {{"a\u2400b", {}}}},
        RunsCase{"LineEnds", "\r\n", {{"\u240D\u240A", {}}}},
        RunsCase{"Escape", "\x1B", {{"\u241B", {}}}}, RunsCase{"Delete", "\x7F", {{"\u2421", {}}}},
        RunsCase{"OtherBytesPass", Codes("caf\xE9^B!"), {{"caf\xE9", {}}, {"!", With("b")}}},
        RunsCase{"TabAtStart", "\tx", {{"        x", {}}}},
        RunsCase{"TabToNextStop", "abc\tx", {{"abc     x", {}}}},
        RunsCase{"TabAtAStop", "12345678\tx", {{"12345678        x", {}}}},
        RunsCase{"TabCountsCharacters", "\xC3\xA9\tx", {{"\xC3\xA9       x", {}}}},
        RunsCase{"TabCountsAnInvalidByteOnce", "\xE9\tx", {{"\xE9       x", {}}}},
        RunsCase{"TabSkipsCodesCountsSymbols",
                 Codes("^C04ab\x01\t^Bx"),
                 {{"ab\u2401     ", With("", kRed)}, {"x", With("b", kRed)}}},
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
