// Loopback peers over the C library's sockets.
#include "tests/sockets/loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sockets_test {
namespace {

bool WaitReadable(int fd, int timeout_ms) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeout_ms) == 1;
}

}  // namespace

LoopbackPeer LoopbackPeer::Bound(bool listening) {
  LoopbackPeer peer(socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(peer.fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  if (listening) listen(peer.fd_, 8);
  return peer;
}

std::uint16_t LoopbackPeer::Port() const {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

LoopbackPeer LoopbackPeer::Accept(int timeout_ms) const {
  return LoopbackPeer(WaitReadable(fd_, timeout_ms) ? accept(fd_, nullptr, nullptr) : -1);
}

void LoopbackPeer::Send(const std::string& data) const {
  send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
}

std::string LoopbackPeer::Receive(std::size_t count, int timeout_ms) const {
  std::string received;
  char buffer[256];
  while (received.size() < count && WaitReadable(fd_, timeout_ms)) {
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    received.append(buffer, std::size_t(n));
  }
  return received;
}

void LoopbackPeer::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

}  // namespace sockets_test
