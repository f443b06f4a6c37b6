// Raising socket failures: the message of an ESockError is formed from a message
// code and the socket library's error number.
#pragma once

#include <string>
#include <string_view>

namespace sockets {

// A message text filled with error_code and its text, in the order in which
// "%d" and "%s" (either case) first occur; a text without them stands as it is.
// At most 255 characters.
std::string FillSockErrorPattern(std::string_view pattern, int error_code);

// The message for error_code under message_code: the text of message_code filled
// by FillSockErrorPattern, or the error's own text when message_code has none
// (0). (10061, 20008) gives "Error 10061 (Connection refused) connecting".
std::string SockErrorMessage(int error_code, int message_code);

// Raises ESockError with SockErrorMessage(error_code, message_code).
[[noreturn]] void RaiseSockError(int error_code, int message_code);

}  // namespace sockets
