// The chat list's styler for bytes that are no UTF-8.
#include <gtest/gtest.h>

#include "Unit1/irc_styler.h"
#include "tests/Il/styled_runs.h"
#include "tests/support/format_codes.h"

namespace unit1 {
namespace {

using iltest::StyledRun;
using testsupport::Codes;

// Each code's style and colour is drawn pixel for pixel through this styler
// (tests/Il/formatted_drawing_test.cpp); what the drawing does not show is the
// Windows-1252 reading of bytes that are no UTF-8, beside a control character.
TEST(IrcStyledText, ReadsOtherBytesAsWindows1252) {
  EXPECT_EQ(IrcStyledText(Codes("caf\xE9\001^B!")),
            (il::TStyledText{StyledRun("caf\xC3\xA9\u2401"), StyledRun("!", toolkit::fsBold)}));
}

}  // namespace
}  // namespace unit1
