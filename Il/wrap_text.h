// Cutting text into lines that fit a width, as measured on a canvas.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Il/styled_run.h"
#include "platform/toolkit/canvas.h"

namespace il {

// Fills `lines` with `text` cut to `width` pixels in the canvas's current font.
// Trailing blanks are removed first. A line that does not fit is cut after the
// last blank that fits, else after the last character that fits; a character
// is never split, and every cut line holds at least one character, so that a
// width too small for anything (zero or negative too) gives a character per
// line. An empty text gives one empty line.
void WrapText(std::string_view text, std::vector<std::string>& lines, toolkit::TCanvas& canvas,
              int width);

// The same for styled text: its plain text is cut as above, each part measured
// in its run's font, and every line holds the runs of its part in their styles.
// An empty text gives one line without runs.
void WrapStyled(const TStyledText& runs, std::vector<TStyledText>& lines, toolkit::TCanvas& canvas,
                int width);

}  // namespace il
