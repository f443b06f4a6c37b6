// Telling a numeric port from a service name.
#pragma once

#include <string_view>

namespace sockets {

// True when the text is a 32-bit integer other than -1: leading blanks, an
// optional sign, then decimal digits or "$" and hexadecimal digits, and nothing
// after them. Hexadecimal takes up to 32 bits, so "$FFFFFFFF" is -1.
bool IsNumeric(std::string_view text);

}  // namespace sockets
