// The character formats of the log pane's styled lines: IRC formatting shown
// as colours, bold, italic, underline and strike-out, over the pane's own
// text and base colours.
#pragma once

#include <QPalette>
#include <QTextCharFormat>

#include "Il/styled_run.h"

namespace unit1 {

QTextCharFormat CharFormatOf(const il::TStyledRun& run, const QPalette& palette);

}  // namespace unit1
