// Cutting text into tokens at delimiter characters.
#pragma once

#include <string>
#include <string_view>

namespace sockets {

// The text without the characters of `chars` at its front and at its back.
std::string TrimSet(std::string_view chars, std::string_view text);

// Cuts the first token off `source` at its first delimiter: with "." as the
// delimiter, "192.168.1.2" gives the token "192" and leaves "168.1.2". Both
// token and rest lose any delimiters at either end; an empty source gives an
// empty token.
void NextToken(std::string_view delimiters, std::string& source, std::string& token);

}  // namespace sockets
