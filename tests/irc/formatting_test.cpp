// The formatting codes of IRC text: toggles, colour codes and their digits,
// hex colours, reset, other controls made visible, tabs.
#include "irc/formatting.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/format_codes.h"

namespace irc {
namespace {

using Runs = std::vector<TFormattedRun>;
using namespace std::string_literals;
using testsupport::Codes;

// A style from letters: b bold, i italic, u underline, s strike, m monospace,
// r reverse.
TTextStyle With(std::string_view flags, TTextColour foreground = {}, TTextColour background = {}) {
  const auto has = [&](char flag) { return flags.find(flag) != std::string_view::npos; };
  return {has('b'), has('i'), has('u'), has('s'), has('m'), has('r'), foreground, background};
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

TEST(FormattedRuns, GivesTheRunsAndThePlainText) {
  const std::tuple<const char*, std::string, Runs> cases[] = {
      // Toggles; each alone is drawn through the chat list's styler
      // (tests/Il/formatted_drawing_test.cpp).
      {"Plain", "hello", {{"hello", {}}}},
      {"Empty", "", {}},
      {"OnlyCodes", Codes("^B^C04^O"), {}},
      {"BoldOnOff", Codes("a^Bb^Bc"), {{"a", {}}, {"b", With("b")}, {"c", {}}}},
      {"Reverse", Codes("^Rx^Ry"), {{"x", With("r")}, {"y", {}}}},
      {"AllAtOnceLeftOpen", Codes("^B^I^U^S^M^Rx"), {{"x", With("biusmr")}}},
      {"SameStyleMerged", Codes("a^B^Bb"), {{"ab", {}}}},
      {"ResetEndsAll", Codes("^B^I^C04,05a^Ob"), {{"a", With("bi", kRed, kBrown)}, {"b", {}}}},
      // Colours
      {"OneDigit", Codes("^C4red"), {{"red", With("", kRed)}}},
      {"TwoDigits", Codes("^C04red"), {{"red", With("", kRed)}}},
      {"NeverThreeDigits", Codes("^C123"), {{"3", With("", kLightBlue)}}},
      {"Background", Codes("^C12,08x"), {{"x", With("", kLightBlue, kYellow)}}},
      {"OneDigitBackground", Codes("^C4,123"), {{"3", With("", kRed, kLightBlue)}}},
      {"CommaWithoutDigitIsText", Codes("^C12,x"), {{",x", With("", kLightBlue)}}},
      {"CommaAtTheEnd", Codes("^C12,"), {{",", With("", kLightBlue)}}},
      {"NoForegroundResetsAndCommaStays",
       Codes("^C04,02a^C,08b"),
       {{"a", With("", kRed, kBlue)}, {",08b", {}}}},
      {"BareCodeResetsBoth", Codes("^C04,02a^Cb"), {{"a", With("", kRed, kBlue)}, {"b", {}}}},
      {"ForegroundAloneKeepsBackground",
       Codes("^C04,05a^C06b"),
       {{"a", With("", kRed, kBrown)}, {"b", With("", kMagenta, kBrown)}}},
      {"NinetyNineIsDefault",
       Codes("^C04,05a^C99b^C04,99c"),
       {{"a", With("", kRed, kBrown)}, {"b", With("", {}, kBrown)}, {"c", With("", kRed)}}},
      {"Extended", Codes("^C52,98x"), {{"x", With("", kRed, kWhite)}}},
      {"ColourOnly", Codes("^C04,05"), {}},
      {"ColourKeepsToggles", Codes("^B^C04x"), {{"x", With("b", kRed)}}},
      // HexColours
      {"Foreground", Codes("^HFF8000x"), {{"x", With("", kOrange)}}},
      {"LowerCaseAndBackground", Codes("^Hff8000,000080x"), {{"x", With("", kOrange, kNavy)}}},
      {"ShortIsAResetAndText", Codes("^C04a^HFF800"), {{"a", With("", kRed)}, {"FF800", {}}}},
      {"NotHex", Codes("^HFF80G0x"), {{"FF80G0x", {}}}},
      {"ShortBackgroundIsText", Codes("^HFF8000,12x"), {{",12x", With("", kOrange)}}},
      {"ThenNumbered", Codes("^HFF8000a^C04b"), {{"a", With("", kOrange)}, {"b", With("", kRed)}}},
      // OtherControls
      {"SymbolInStyle", Codes("a^B\001b"), {{"a", {}}, {"\u2401b", With("b")}}},
      {"Nul", "a\0b"s, {{"a\u2400b", {}}}},
      {"LineEnds", "\r\n", {{"\u240D\u240A", {}}}},
      {"Escape", "\x1B", {{"\u241B", {}}}},
      {"Delete", "\x7F", {{"\u2421", {}}}},
      {"OtherBytesPass", Codes("caf\xE9^B!"), {{"caf\xE9", {}}, {"!", With("b")}}},
      {"TabAtStart", "\tx", {{"        x", {}}}},
      {"TabToNextStop", "abc\tx", {{"abc     x", {}}}},
      {"TabAtAStop", "12345678\tx", {{"12345678        x", {}}}},
      {"TabCountsCharacters", "\xC3\xA9\tx", {{"\xC3\xA9       x", {}}}},
      {"TabCountsAnInvalidByteOnce", "\xE9\tx", {{"\xE9       x", {}}}},
      {"TabCountsEachByteOfAnOverlongForm", "\xE0\x80\x80\tx", {{"\xE0\x80\x80     x", {}}}},
      {"TabSkipsCodesCountsSymbols",
       Codes("^C04ab\x01\t^Bx"),
       {{"ab\u2401     ", With("", kRed)}, {"x", With("b", kRed)}}},
      {"TwoTabs", "a\tb\tc", {{"a       b       c", {}}}},
  };
  for (const auto& [name, text, runs] : cases) {
    EXPECT_EQ(FormattedRuns(text), runs) << name;
    std::string joined;
    for (const TFormattedRun& run : runs) joined += run.Text;
    EXPECT_EQ(PlainText(text), joined) << name;
  }
}

TEST(ColourOfCode, ClassicExtendedAndDefault) {
  // The ends of the classic and the extended ranges; codes inside them are
  // drawn in the runs above.
  const std::pair<int, TTextColour> known[] = {
      {15, TRgb{0xD2, 0xD2, 0xD2}}, {16, TRgb{0x47, 0, 0}}, {87, TRgb{0xFF, 0x94, 0xD3}},
      {88, TRgb{0, 0, 0}},          {98, kWhite},           {99, std::nullopt},
      {100, std::nullopt},          {-1, std::nullopt}};
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

}  // namespace
}  // namespace irc
