// Loopback sockets for the test fixtures over the C library.
#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace testsupport {
namespace {

sockaddr_in LoopbackAddress(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

bool WaitFor(int fd, short events, Clock::time_point deadline) {
  pollfd entry{fd, events, 0};
  int ready;
  do {
    ready = poll(&entry, 1, MillisecondsLeft(deadline));
  } while (ready < 0 && errno == EINTR);
  return ready == 1;
}

}  // namespace

SocketFd& SocketFd::operator=(SocketFd&& other) noexcept {
  if (this != &other) Reset(std::exchange(other.fd_, -1));
  return *this;
}

void SocketFd::Reset(int fd) {
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
}

SocketFd BindLoopback(bool listening) {
  SocketFd socket_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = LoopbackAddress(0);
  if (!socket_fd.Valid() ||
      bind(socket_fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      (listening && listen(socket_fd.Get(), 8) != 0)) {
    return SocketFd();
  }
  return socket_fd;
}

std::uint16_t LocalPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

SocketFd ConnectLoopback(std::uint16_t port) {
  SocketFd socket_fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = LoopbackAddress(port);
  if (!socket_fd.Valid() ||
      connect(socket_fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return SocketFd();
  }
  const int on = 1;
  setsockopt(socket_fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return socket_fd;
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

bool WaitReadable(int fd, Clock::time_point deadline) {
  return WaitFor(fd, POLLIN, deadline);
}

bool SendAll(int fd, std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      bytes.remove_prefix(std::size_t(sent));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (!WaitFor(fd, POLLOUT, deadline)) return false;
  }
  return true;
}

std::vector<std::string> TakeCrLfLines(std::string& buffer) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = buffer.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.emplace_back(buffer, start, end - start);
  }
  buffer.erase(0, start);
  return lines;
}

}  // namespace testsupport
