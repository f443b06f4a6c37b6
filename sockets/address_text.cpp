// Address texts through the socket library binding.
#include "sockets/address_text.h"

#include <algorithm>

#include "sockets/winsock_unit.h"

namespace sockets {

bool IsDottedAddress(std::string_view text) {
  constexpr std::size_t kMaxAddressText = 101;
  char buffer[kMaxAddressText + 1] = {};
  std::copy_n(text.data(), std::min(text.size(), kMaxAddressText), buffer);
  return WinsockAPI().inet_addr(buffer) != winsock::INADDR_NONE;
}

TAddressText AddressToText(const winsock::sockaddr_in& address) {
  tWinsockAPI& api = WinsockAPI();
  const char* dotted = api.inet_ntoa(address.sin_addr);
  return {dotted != nullptr ? dotted : "", api.ntohs(address.sin_port)};
}

}  // namespace sockets
