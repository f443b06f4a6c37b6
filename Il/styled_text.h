// Measuring and drawing styled runs on a canvas: each run in the canvas's font
// with the run's styles added, its colours resolved against the font's colour
// and the brush.
#pragma once

#include <cstddef>
#include <string>

#include "Il/styled_run.h"
#include "platform/toolkit/canvas.h"

namespace il {

// The runs' texts one after the other.
std::string PlainText(const TStyledText& runs);

// The width of the bytes from `begin` to `end` of that plain text, each part in
// its run's font made from `base`. Leaves the canvas in the last run's font.
int StyledWidth(toolkit::TCanvas& canvas, const toolkit::TFont& base, const TStyledText& runs,
                std::size_t begin, std::size_t end);

// Draws the runs side by side from (x, y) on, opaque as TextOut draws; the
// canvas keeps its font and brush.
void DrawStyled(toolkit::TCanvas& canvas, int x, int y, const TStyledText& runs);

// The runs' text from `begin` to `end` of the plain text, in their styles.
void AppendSlice(const TStyledText& runs, std::size_t begin, std::size_t end, TStyledText& slice);

}  // namespace il
