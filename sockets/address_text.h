// Address texts through the socket library: telling a dotted address from a host
// name, and the text of a socket address.
#pragma once

#include <string>
#include <string_view>

#include "platform/wsock32/winsock.h"

namespace sockets {

// True when the library's inet_addr takes the text (its first 101 characters) as
// an address. "255.255.255.255" is no address: it converts to INADDR_NONE.
bool IsDottedAddress(std::string_view text);

struct TAddressText {
  std::string Address;      // dotted, from inet_ntoa
  winsock::u_short Port{};  // host order
};

TAddressText AddressToText(const winsock::sockaddr_in& address);

}  // namespace sockets
