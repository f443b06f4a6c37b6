// Forming and raising the messages of socket failures.
#include "sockets/sock_error.h"

#include <string_view>

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/text_helpers.h"

namespace sockets {
namespace {

// Position of the first "%<letter>" in text, either case; npos when absent.
std::size_t FindPlaceholder(std::string_view text, char letter) {
  const char upper = char(letter - 'a' + 'A');
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && (text[i + 1] == letter || text[i + 1] == upper)) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string FillSockErrorPattern(std::string_view pattern, int error_code) {
  const std::size_t number_at = FindPlaceholder(pattern, 'd');
  const std::size_t text_at = FindPlaceholder(pattern, 's');
  if (number_at == std::string_view::npos && text_at == std::string_view::npos) {
    return ShortString(pattern);
  }
  const std::string error_text = ErrorText(error_code);
  // npos is the largest position, so an absent "%s" never comes first.
  if (number_at < text_at) return ShortString(Format(pattern, {error_code, error_text}));
  return ShortString(Format(pattern, {error_text, error_code}));
}

std::string SockErrorMessage(int error_code, int message_code) {
  const std::string pattern = ErrorText(message_code);
  if (pattern.empty()) return ErrorText(error_code);
  return FillSockErrorPattern(pattern, error_code);
}

void RaiseSockError(int error_code, int message_code) {
  throw ESockError(SockErrorMessage(error_code, message_code));
}

}  // namespace sockets
