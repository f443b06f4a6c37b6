// Telling a numeric port from a service name.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sockets {

// The 32-bit integer the text holds: leading blanks, an optional sign, then
// decimal digits or "$" and hexadecimal digits, and nothing after them; none for
// any other text.
std::optional<std::int32_t> ParseInteger(std::string_view text);

// True when the text is a 32-bit integer (ParseInteger) other than -1.
// Hexadecimal takes up to 32 bits, so "$FFFFFFFF" is -1.
bool IsNumeric(std::string_view text);

}  // namespace sockets
