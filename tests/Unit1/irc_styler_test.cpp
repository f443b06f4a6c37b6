// The chat list's styler for IRC text: each formatting in the list's terms, and
// text that is not UTF-8 read as the window reads it.
#include "Unit1/irc_styler.h"

#include <gtest/gtest.h>

#include "tests/Il/styled_runs.h"
#include "tests/support/format_codes.h"

namespace {

using iltest::StyledRun;
using testsupport::Codes;
using toolkit::RGB;

TEST(IrcStyledText, MapsEachFormatting) {
  const std::pair<std::string, il::TStyledText> cases[] = {
      {"plain", {StyledRun("plain")}},
      {Codes("^Bb^Ii^Uu"),
       {StyledRun("b", toolkit::fsBold), StyledRun("i", toolkit::fsBold | toolkit::fsItalic),
        StyledRun("u", toolkit::fsBold | toolkit::fsItalic | toolkit::fsUnderline)}},
      {Codes("^Ss^S^Mm"),
       {StyledRun("s", toolkit::fsStrikeOut), StyledRun("m", toolkit::fsMonospace)}},
      {Codes("^C04,12x"), {StyledRun("x", 0, RGB(0xFF, 0, 0), RGB(0, 0, 0xFC))}},
      {Codes("^H123456,ABCDEFx^C99y"),
       {StyledRun("x", 0, RGB(0x12, 0x34, 0x56), RGB(0xAB, 0xCD, 0xEF)),
        StyledRun("y", 0, std::nullopt, RGB(0xAB, 0xCD, 0xEF))}},
      {Codes("^Rr"), {StyledRun("r", 0, std::nullopt, std::nullopt, true)}},
      {"", {}},
  };
  for (const auto& [text, runs] : cases) EXPECT_EQ(unit1::IrcStyledText(text), runs) << text;
}

// A Windows-1252 e acute beside a control character: both read as UTF-8 after.
TEST(IrcStyledText, TextThatIsNotUtf8IsReadAsWindows1252) {
  EXPECT_EQ(unit1::IrcStyledText(Codes("caf\xE9\001^B!")),
            (il::TStyledText{StyledRun("caf\xC3\xA9\u2401"), StyledRun("!", toolkit::fsBold)}));
}

}  // namespace
