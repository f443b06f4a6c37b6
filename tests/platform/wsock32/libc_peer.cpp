// Loopback peers on the C library's own socket calls.
#include "tests/platform/wsock32/libc_peer.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace wsock32test {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

LibcSocket& LibcSocket::operator=(LibcSocket&& other) noexcept {
  std::swap(fd_, other.fd_);
  return *this;
}

LibcSocket LibcSocket::BoundOnly() {
  LibcSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = Loopback(0);
  if (::bind(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    socket.Close();
  }
  return socket;
}

LibcSocket LibcSocket::Listen(int backlog) {
  LibcSocket socket = BoundOnly();
  if (socket.Valid() && ::listen(socket.fd_, backlog) != 0) socket.Close();
  return socket;
}

LibcSocket LibcSocket::ConnectTo(std::uint16_t port) {
  LibcSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = Loopback(port);
  if (::connect(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    socket.Close();
  }
  return socket;
}

std::uint16_t LibcSocket::Port() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

bool LibcSocket::WaitReadable(int timeout_ms) const {
  pollfd entry{fd_, POLLIN, 0};
  return ::poll(&entry, 1, timeout_ms) == 1;
}

LibcSocket LibcSocket::Accept(int timeout_ms) const {
  if (!WaitReadable(timeout_ms)) return LibcSocket();
  return LibcSocket(::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
}

bool LibcSocket::SendAll(const std::string& data) const {
  return ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL) == ssize_t(data.size());
}

std::string LibcSocket::Receive(int timeout_ms) const {
  if (!WaitReadable(timeout_ms)) return {};
  char buffer[4096];
  const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
  return count > 0 ? std::string(buffer, std::size_t(count)) : std::string();
}

void LibcSocket::Drain() const {
  char buffer[65536];
  while (::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
  }
}

void LibcSocket::Reset() {
  const linger abortive{1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  Close();
}

void LibcSocket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string SocketCallProvider() {
  Dl_info info{};
  return ::dladdr(reinterpret_cast<void*>(&::socket), &info) && info.dli_fname ? info.dli_fname
                                                                               : "";
}

}  // namespace wsock32test
