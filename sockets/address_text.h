// Address texts through the socket library: telling a dotted address, an IPv6
// address and a host name apart, and the text of a socket address.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A socket address of either family, in the library's layout.
struct TSockAddress {
  winsock::SOCKADDR_STORAGE Storage{};
  int Length = 0;

  int Family() const { return Storage.ss_family; }
  const winsock::sockaddr* Get() const {
    return reinterpret_cast<const winsock::sockaddr*>(&Storage);
  }
  static TSockAddress FromInet(const winsock::sockaddr_in& address);
  // The IPv4 part; zero for an IPv6 address.
  winsock::sockaddr_in Inet() const;
  void SetPort(winsock::u_short HostOrder);
};

// How an address text reads: a dotted IPv4 address, an IPv6 address (with or
// without brackets, with or without a zone: "fe80::1%lo"), a host name, or text
// meant as an IPv6 address (it has a colon or a bracket, which no host name
// has) that is none.
enum class TAddressForm { afDotted, afIPv6, afHostName, afUnreadable };
TAddressForm AddressForm(std::string_view text);
// "[::1]" as "::1"; any other text as it is.
std::string_view WithoutBrackets(std::string_view text);
// The address of an IPv6 text (brackets allowed), or nothing.
std::optional<TSockAddress> ReadIPv6Address(std::string_view text);

// "::1", "fe80::1%lo", "127.0.0.1".
std::string AddressText(const TSockAddress& address);
// "[::1]:6697", "127.0.0.1:6697".
std::string EndpointText(const TSockAddress& address);

// The order a connect tries addresses in: the resolver's order within each
// family, the families alternating, IPv6 first.
std::vector<TSockAddress> InConnectOrder(const std::vector<TSockAddress>& addresses);

}  // namespace sockets
