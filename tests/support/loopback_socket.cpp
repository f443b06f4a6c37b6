// Loopback sockets for the tests over the C library.
#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

namespace testsupport {
namespace {

// 127.0.0.1, or ::1, at `port`; gives the address's length.
socklen_t LoopbackAddress(bool ipv6, std::uint16_t port, sockaddr_storage& storage) {
  storage = {};
  if (ipv6) {
    auto& address = reinterpret_cast<sockaddr_in6&>(storage);
    address = {AF_INET6, htons(port), 0, in6addr_loopback, 0};
    return sizeof address;
  }
  auto& address = reinterpret_cast<sockaddr_in&>(storage);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return sizeof address;
}

Clock::time_point After(int timeout_ms) {
  return Clock::now() + std::chrono::milliseconds(timeout_ms);
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

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), pieces_(std::move(other.pieces_)) {}

LoopbackSocket& LoopbackSocket::operator=(LoopbackSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    pieces_ = std::move(other.pieces_);
  }
  return *this;
}

LoopbackSocket LoopbackSocket::BoundOnly(bool ipv6, std::uint16_t port) {
  LoopbackSocket bound(socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_storage address;
  const socklen_t length = LoopbackAddress(ipv6, port, address);
  const int on = 1;
  if (bound.Valid() &&
      ((ipv6 && setsockopt(bound.fd_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0) ||
       bind(bound.fd_, reinterpret_cast<const sockaddr*>(&address), length) != 0)) {
    bound.Close();
  }
  return bound;
}

LoopbackSocket LoopbackSocket::Listen(int backlog, bool ipv6, std::uint16_t port) {
  LoopbackSocket listener = BoundOnly(ipv6, port);
  if (listener.Valid() && listen(listener.fd_, backlog) != 0) listener.Close();
  return listener;
}

LoopbackSocket LoopbackSocket::ConnectTo(std::uint16_t port, bool ipv6) {
  LoopbackSocket connection(socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_storage address;
  const socklen_t length = LoopbackAddress(ipv6, port, address);
  if (connection.Valid() &&
      connect(connection.fd_, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
    connection.Close();
  }
  connection.NoDelay();
  return connection;
}

std::uint16_t LoopbackSocket::Port() const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  // The port lies at the same place in both families.
  return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

bool LoopbackSocket::WaitReadable(int timeout_ms) const {
  return WaitFor(fd_, POLLIN, After(timeout_ms));
}

LoopbackSocket LoopbackSocket::Accept(int timeout_ms) const {
  if (!WaitReadable(timeout_ms)) return LoopbackSocket();
  LoopbackSocket connection(accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC));
  connection.NoDelay();
  return connection;
}

bool LoopbackSocket::SendAll(std::string_view bytes, int timeout_ms) const {
  const auto deadline = After(timeout_ms);
  while (!bytes.empty()) {
    const ssize_t sent =
        send(fd_, bytes.data(), NextPiece(bytes.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      bytes.remove_prefix(std::size_t(sent));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (!WaitFor(fd_, POLLOUT, deadline)) return false;
  }
  return true;
}

std::string LoopbackSocket::Receive(std::size_t count, int timeout_ms) const {
  const auto deadline = After(timeout_ms);
  std::string received;
  char buffer[4096];
  while (received.size() < count && WaitFor(fd_, POLLIN, deadline)) {
    const std::size_t wanted = std::min(sizeof buffer, count - received.size());
    const ssize_t n = recv(fd_, buffer, NextPiece(wanted), 0);
    if (n <= 0) break;
    received.append(buffer, std::size_t(n));
  }
  return received;
}

bool LoopbackSocket::ReadWaiting(std::string& bytes) const {
  char buffer[65536];
  ssize_t n;
  while ((n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
    bytes.append(buffer, std::size_t(n));
  }
  return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

void LoopbackSocket::NoDelay() {
  const int on = 1;
  if (Valid()) setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

std::size_t LoopbackSocket::NextPiece(std::size_t at_most) const {
  if (!pieces_) return at_most;
  std::mt19937& random = *pieces_;
  if (random() % 8 == 0) std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
  return std::min(at_most, std::uniform_int_distribution<std::size_t>(1, 3000)(random));
}

void LoopbackSocket::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

void LoopbackSocket::CloseWithReset() {
  const linger abortive{1, 0};
  if (fd_ >= 0) setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  Close();
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
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
