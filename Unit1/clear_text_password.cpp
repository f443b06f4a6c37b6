// The word about a SASL password sent without TLS.
#include "Unit1/clear_text_password.h"

namespace unit1 {

namespace {

// 127.0.0.0/8 and ::1 never leave the machine, nor does 127.0.0.0/8 mapped
// into IPv6.
bool IsLoopback(std::string_view address) {
  return address.starts_with("127.") || address.starts_with("::ffff:127.") || address == "::1";
}

std::string_view CommandOf(std::string_view line) {
  if (line.starts_with(':')) {
    const std::size_t blank = line.find(' ');
    line = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
  }
  return line.substr(0, line.find(' '));
}

}  // namespace

bool PasswordCrossesInClear(std::string_view received, const std::vector<std::string>& answer,
                            bool tls, std::string_view address) {
  if (tls || IsLoopback(address) || CommandOf(received) != "AUTHENTICATE" || answer.empty()) {
    return false;
  }
  return answer.front().starts_with("AUTHENTICATE ") && answer.front() != "AUTHENTICATE +";
}

}  // namespace unit1
