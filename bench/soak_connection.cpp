// One client connection of the soak peer.
#include "bench/soak_connection.h"

#include <cerrno>
#include <chrono>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

SoakConnection::SoakConnection(int fd) : fd_(fd) {}

SoakConnection::~SoakConnection() {
  close(fd_);
}

bool SoakConnection::Pump(int timeout_ms) {
  pollfd watched{fd_, short(POLLIN | (Pending() > 0 ? POLLOUT : 0)), 0};
  if (poll(&watched, 1, timeout_ms) < 0) return errno == EINTR;
  if (watched.revents & (POLLIN | POLLHUP | POLLERR)) {
    char buffer[16384];
    const ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got == 0) return false;
    if (got < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (got > 0) in_.append(buffer, std::size_t(got));
  }
  return Flush();
}

bool SoakConnection::Flush() {
  while (Pending() > 0) {
    const ssize_t sent = send(fd_, out_.data() + sent_, Pending(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent < 0) return errno == EAGAIN || errno == EINTR;
    sent_ += std::size_t(sent);
  }
  // Sent bytes go once there are many of them, not on every write.
  if (sent_ > 0 && (sent_ == out_.size() || sent_ > (std::size_t{1} << 20))) {
    out_.erase(0, sent_);
    sent_ = 0;
  }
  return true;
}

std::optional<std::string> SoakConnection::TakeLine() {
  const std::size_t end = in_.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = in_.substr(0, end);
  in_.erase(0, end + 1);
  if (line.ends_with('\r')) line.pop_back();
  return line;
}

void SoakConnection::CloseAfterDrain(int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Pending() > 0 && std::chrono::steady_clock::now() < deadline && Pump(10)) {
  }
  shutdown(fd_, SHUT_WR);
  // Closing with the client's bytes unread would reset the connection, and the
  // client could lose lines it has not read yet.
  while (std::chrono::steady_clock::now() < deadline && Pump(10)) in_.clear();
}

}  // namespace bench
