// A font as the client's components describe it: a name, a height in pixels
// (negative: the character height; positive: the cell height), a colour and a
// set of styles. Plain data; the Qt side maps it to a font of the system.
#pragma once

#include <cstdint>
#include <string>

#include "platform/toolkit/color.h"

namespace toolkit {

// A set of font styles, one bit each.
using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1 << 0;
constexpr TFontStyles fsItalic = 1 << 1;
constexpr TFontStyles fsUnderline = 1 << 2;
constexpr TFontStyles fsStrikeOut = 1 << 3;
// The font's height in the system's fixed-pitch family instead of its own.
constexpr TFontStyles fsMonospace = 1 << 4;

struct TFont {
  std::string Name = "Arial";
  int Height = -11;
  TColor Color = clWindowText;
  TFontStyles Style = 0;

  bool operator==(const TFont&) const = default;
};

}  // namespace toolkit
