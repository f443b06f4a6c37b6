// Colours as the client's components store them: red in the lowest byte, then
// green, then blue; a value with the top byte 0xFF names a colour of the system
// palette instead, resolved only when something is drawn.
#pragma once

#include <cstdint>

namespace toolkit {

using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return TColor{red} | TColor{green} << 8 | TColor{blue} << 16;
}

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clPurple = RGB(128, 0, 128);
constexpr TColor clSilver = RGB(192, 192, 192);
constexpr TColor clWhite = RGB(255, 255, 255);

constexpr TColor kSystemColorFlag = 0xFF000000;
constexpr TColor clWindow = kSystemColorFlag | 1;         // background of lists and entries
constexpr TColor clWindowText = kSystemColorFlag | 2;     // text on that background
constexpr TColor clHighlight = kSystemColorFlag | 3;      // background of a selected item
constexpr TColor clHighlightText = kSystemColorFlag | 4;  // text of a selected item

constexpr bool IsSystemColor(TColor color) {
  return (color & kSystemColorFlag) == kSystemColorFlag;
}

}  // namespace toolkit
