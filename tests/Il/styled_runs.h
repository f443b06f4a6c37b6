// Styled runs in tests: one made in a line, and printed readably on failure.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "Il/styled_run.h"

namespace il {

inline void PrintTo(const TStyledRun& run, std::ostream* os) {
  *os << '"' << run.Text << "\" style " << int{run.Style};
  if (run.Color) *os << " color " << std::hex << *run.Color << std::dec;
  if (run.Background) *os << " background " << std::hex << *run.Background << std::dec;
  if (run.Reverse) *os << " reverse";
}

}  // namespace il

namespace iltest {

inline il::TStyledRun StyledRun(std::string text, toolkit::TFontStyles style = 0,
                                std::optional<toolkit::TColor> color = {},
                                std::optional<toolkit::TColor> background = {},
                                bool reverse = false) {
  return {std::move(text), style, color, background, reverse};
}

}  // namespace iltest
