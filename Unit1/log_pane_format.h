// The character formats of the log pane's styled lines: IRC formatting shown
// as colours, bold, italic, underline and strike-out, over the pane's own
// text and base colours. The styles go into the document; the colours stay
// with their line (TLineColours) and reach the layout only while the line is
// on screen, since every colour ever put into a document stays in it.
#pragma once

#include <QPalette>
#include <QRgb>
#include <QTextCharFormat>
#include <optional>

#include "Il/styled_run.h"

namespace unit1 {

// The colours a run is drawn in, resolved against the pane's palette.
struct TRunColours {
  std::optional<QRgb> Text;
  std::optional<QRgb> Back;

  bool Any() const { return Text || Back; }
  bool operator==(const TRunColours&) const = default;
};

// Bold, italic, underline and strike-out: a handful of formats in all.
QTextCharFormat StyleFormatOf(const il::TStyledRun& run);
TRunColours ColoursOf(const il::TStyledRun& run, const QPalette& palette);
QTextCharFormat ColourFormatOf(const TRunColours& colours);

}  // namespace unit1
