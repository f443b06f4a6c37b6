// The colours that colour codes name: the classic sixteen, then the extended
// range of 83 (six shades of twelve hues, then a grey ramp).
#include <array>
#include <cstdint>

#include "irc/formatting.h"

namespace irc {

namespace {

constexpr TRgb Hex(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb)};
}

constexpr std::array<TRgb, 99> kPalette = {
    // 0 to 15: white, black, blue, green, red, brown, magenta, orange, yellow,
    // light green, cyan, light cyan, light blue, pink, grey, light grey.
    Hex(0xFFFFFF), Hex(0x000000), Hex(0x00007F), Hex(0x009300), Hex(0xFF0000), Hex(0x7F0000),
    Hex(0x9C009C), Hex(0xFC7F00), Hex(0xFFFF00), Hex(0x00FC00), Hex(0x009393), Hex(0x00FFFF),
    Hex(0x0000FC), Hex(0xFF00FF), Hex(0x7F7F7F), Hex(0xD2D2D2),
    // 16 to 87, twelve a shade from dark to pale.
    Hex(0x470000), Hex(0x472100), Hex(0x474700), Hex(0x324700), Hex(0x004700), Hex(0x00472C),
    Hex(0x004747), Hex(0x002747), Hex(0x000047), Hex(0x2E0047), Hex(0x470047), Hex(0x47002A),
    Hex(0x740000), Hex(0x743A00), Hex(0x747400), Hex(0x517400), Hex(0x007400), Hex(0x007449),
    Hex(0x007474), Hex(0x004074), Hex(0x000074), Hex(0x4B0074), Hex(0x740074), Hex(0x740045),
    Hex(0xB50000), Hex(0xB56300), Hex(0xB5B500), Hex(0x7DB500), Hex(0x00B500), Hex(0x00B571),
    Hex(0x00B5B5), Hex(0x0063B5), Hex(0x0000B5), Hex(0x7500B5), Hex(0xB500B5), Hex(0xB5006B),
    Hex(0xFF0000), Hex(0xFF8C00), Hex(0xFFFF00), Hex(0xB2FF00), Hex(0x00FF00), Hex(0x00FFA0),
    Hex(0x00FFFF), Hex(0x008CFF), Hex(0x0000FF), Hex(0xA500FF), Hex(0xFF00FF), Hex(0xFF0098),
    Hex(0xFF5959), Hex(0xFFB459), Hex(0xFFFF71), Hex(0xCFFF60), Hex(0x6FFF6F), Hex(0x65FFC9),
    Hex(0x6DFFFF), Hex(0x59B4FF), Hex(0x5959FF), Hex(0xC459FF), Hex(0xFF66FF), Hex(0xFF59BC),
    Hex(0xFF9C9C), Hex(0xFFD39C), Hex(0xFFFF9C), Hex(0xE2FF9C), Hex(0x9CFF9C), Hex(0x9CFFDB),
    Hex(0x9CFFFF), Hex(0x9CD3FF), Hex(0x9C9CFF), Hex(0xDC9CFF), Hex(0xFF9CFF), Hex(0xFF94D3),
    // 88 to 98: black to white.
    Hex(0x000000), Hex(0x131313), Hex(0x282828), Hex(0x363636), Hex(0x4D4D4D), Hex(0x656565),
    Hex(0x818181), Hex(0x9F9F9F), Hex(0xBCBCBC), Hex(0xE2E2E2), Hex(0xFFFFFF)};

}  // namespace

TTextColour ColourOfCode(int code) {
  if (code < 0 || code >= static_cast<int>(kPalette.size())) return std::nullopt;
  return kPalette[static_cast<std::size_t>(code)];
}

}  // namespace irc
