// Conversion of socket addresses between the two layouts.
#include "platform/wsock32/socket_address.h"

#include "platform/wsock32/libc_sockets.h"

#include <cstring>

namespace wsock32 {

int ReadAddress(const winsock::sockaddr* address, int length, PosixAddress& out) {
  winsock::sockaddr_in given;
  if (!address || length < int(sizeof given)) return winsock::WSAEFAULT;
  std::memcpy(&given, address, sizeof given);
  out = {};
  if (given.sin_family == kWinsockInet) {
    auto& posix = reinterpret_cast<sockaddr_in&>(out.storage);
    posix.sin_family = AF_INET;
    posix.sin_port = given.sin_port;
    posix.sin_addr.s_addr = given.sin_addr.s_addr;
    out.length = sizeof posix;
    return 0;
  }
  if (given.sin_family != kWinsockInet6) return winsock::WSAEAFNOSUPPORT;
  winsock::sockaddr_in6 given6;
  if (length < int(sizeof given6)) return winsock::WSAEFAULT;
  std::memcpy(&given6, address, sizeof given6);
  auto& posix = reinterpret_cast<sockaddr_in6&>(out.storage);
  posix.sin6_family = AF_INET6;
  posix.sin6_port = given6.sin6_port;
  posix.sin6_flowinfo = given6.sin6_flowinfo;
  std::memcpy(&posix.sin6_addr, &given6.sin6_addr, sizeof posix.sin6_addr);
  posix.sin6_scope_id = given6.sin6_scope_id;
  out.length = sizeof posix;
  return 0;
}

int WriteAddress(const PosixAddress& address, winsock::sockaddr* out, int* length) {
  if (address.family() == AF_INET6) {
    const auto& posix = reinterpret_cast<const sockaddr_in6&>(address.storage);
    winsock::sockaddr_in6 result{};
    if (!out || !length || *length < int(sizeof result)) return winsock::WSAEFAULT;
    result.sin6_family = winsock::u_short(kWinsockInet6);
    result.sin6_port = posix.sin6_port;
    result.sin6_flowinfo = posix.sin6_flowinfo;
    std::memcpy(&result.sin6_addr, &posix.sin6_addr, sizeof result.sin6_addr);
    result.sin6_scope_id = posix.sin6_scope_id;
    std::memcpy(out, &result, sizeof result);
    *length = sizeof result;
    return 0;
  }
  const auto& posix = reinterpret_cast<const sockaddr_in&>(address.storage);
  winsock::sockaddr_in result{};
  if (!out || !length || *length < int(sizeof result)) return winsock::WSAEFAULT;
  result.sin_family = kWinsockInet;
  result.sin_port = posix.sin_port;
  result.sin_addr.s_addr = posix.sin_addr.s_addr;
  std::memcpy(out, &result, sizeof result);
  *length = sizeof result;
  return 0;
}

int LayoutSize(int fd) {
  int domain = AF_INET;
  socklen_t size = sizeof domain;
  ::getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &size);
  return domain == AF_INET6 ? int(sizeof(winsock::sockaddr_in6))
                            : int(sizeof(winsock::sockaddr_in));
}

bool IsUnreachable(const PosixAddress& address) {
  if (address.family() == AF_INET6) {
    const auto& posix = reinterpret_cast<const sockaddr_in6&>(address.storage);
    return IN6_IS_ADDR_UNSPECIFIED(&posix.sin6_addr) || posix.sin6_port == 0;
  }
  const auto& posix = reinterpret_cast<const sockaddr_in&>(address.storage);
  return posix.sin_addr.s_addr == kWinsockAnyAddress || posix.sin_port == 0;
}

bool IsBound(int fd) {
  PosixAddress local;
  local.length = sizeof local.storage;
  // The port lies at the same place in both families' layouts.
  return libc::GetSockName(fd, local.get(), &local.length) == 0 &&
         reinterpret_cast<const sockaddr_in&>(local.storage).sin_port != 0;
}

}  // namespace wsock32
