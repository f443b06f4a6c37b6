// Address texts through the socket library binding.
#include "sockets/address_text.h"

#include <algorithm>
#include <cstring>

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

TSockAddress TSockAddress::FromInet(const winsock::sockaddr_in& address) {
  TSockAddress result;
  std::memcpy(&result.Storage, &address, sizeof address);
  result.Length = sizeof address;
  return result;
}

winsock::sockaddr_in TSockAddress::Inet() const {
  winsock::sockaddr_in address{};
  address.sin_family = winsock::AF_INET;
  if (Family() == winsock::AF_INET) std::memcpy(&address, &Storage, sizeof address);
  return address;
}

void TSockAddress::SetPort(winsock::u_short HostOrder) {
  // The port lies at the same place in both families.
  const winsock::u_short port = WinsockAPI().htons(HostOrder);
  std::memcpy(reinterpret_cast<char*>(&Storage) + sizeof(winsock::u_short), &port, sizeof port);
}

std::string_view WithoutBrackets(std::string_view text) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

std::optional<TSockAddress> ReadIPv6Address(std::string_view text) {
  const std::string literal(WithoutBrackets(text));
  if (literal.find(':') == std::string::npos) return std::nullopt;
  winsock::ADDRINFOA hints{};
  hints.ai_family = winsock::AF_INET6;
  hints.ai_flags = winsock::AI_NUMERICHOST;
  winsock::ADDRINFOA* found = nullptr;
  tWinsockAPI& api = WinsockAPI();
  if (api.getaddrinfo(literal.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  TSockAddress address;
  address.Length = int(std::min(found->ai_addrlen, sizeof address.Storage));
  std::memcpy(&address.Storage, found->ai_addr, std::size_t(address.Length));
  api.freeaddrinfo(found);
  return address;
}

TAddressForm AddressForm(std::string_view text) {
  if (IsDottedAddress(text)) return TAddressForm::afDotted;
  if (text.find_first_of(":[]") == std::string_view::npos) return TAddressForm::afHostName;
  return ReadIPv6Address(text) ? TAddressForm::afIPv6 : TAddressForm::afUnreadable;
}

std::string AddressText(const TSockAddress& address) {
  char host[winsock::NI_MAXHOST] = {};
  if (WinsockAPI().getnameinfo(address.Get(), address.Length, host, sizeof host, nullptr, 0,
                               winsock::NI_NUMERICHOST) != 0) {
    return {};
  }
  return host;
}

std::string EndpointText(const TSockAddress& address) {
  winsock::u_short port = 0;
  std::memcpy(&port, reinterpret_cast<const char*>(&address.Storage) + sizeof port, sizeof port);
  const std::string host = AddressText(address);
  const std::string port_text = std::to_string(WinsockAPI().ntohs(port));
  if (address.Family() == winsock::AF_INET6) return "[" + host + "]:" + port_text;
  return host + ":" + port_text;
}

std::vector<TSockAddress> InConnectOrder(const std::vector<TSockAddress>& addresses) {
  std::vector<TSockAddress> inet6;
  std::vector<TSockAddress> inet;
  for (const TSockAddress& address : addresses) {
    (address.Family() == winsock::AF_INET6 ? inet6 : inet).push_back(address);
  }
  std::vector<TSockAddress> ordered;
  for (std::size_t i = 0; i < std::max(inet6.size(), inet.size()); ++i) {
    if (i < inet6.size()) ordered.push_back(inet6[i]);
    if (i < inet.size()) ordered.push_back(inet[i]);
  }
  return ordered;
}

}  // namespace sockets
