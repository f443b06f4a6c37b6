// Conversion of socket addresses between the two layouts.
#include "platform/wsock32/socket_address.h"

#include "platform/wsock32/libc_sockets.h"

#include <cstring>

namespace wsock32 {

int ReadAddress(const winsock::sockaddr* address, int length, sockaddr_in& out) {
  winsock::sockaddr_in given;
  if (!address || length < int(sizeof given)) return winsock::WSAEFAULT;
  std::memcpy(&given, address, sizeof given);
  if (given.sin_family != kWinsockInet) return winsock::WSAEAFNOSUPPORT;
  out = {};
  out.sin_family = AF_INET;
  out.sin_port = given.sin_port;
  out.sin_addr.s_addr = given.sin_addr.s_addr;
  return 0;
}

int WriteAddress(const sockaddr_in& address, winsock::sockaddr* out, int* length) {
  winsock::sockaddr_in result{};
  if (!out || !length || *length < int(sizeof result)) return winsock::WSAEFAULT;
  result.sin_family = kWinsockInet;
  result.sin_port = address.sin_port;
  result.sin_addr.s_addr = address.sin_addr.s_addr;
  std::memcpy(out, &result, sizeof result);
  *length = sizeof result;
  return 0;
}

bool IsUnreachable(const sockaddr_in& address) {
  return address.sin_addr.s_addr == kWinsockAnyAddress || address.sin_port == 0;
}

bool IsBound(int fd) {
  sockaddr_in local{};
  socklen_t length = sizeof local;
  return libc::GetSockName(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0 &&
         local.sin_port != 0;
}

}  // namespace wsock32
