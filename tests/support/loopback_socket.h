// Plain POSIX sockets on 127.0.0.1 for the test fixtures: an owned descriptor,
// listening and connecting, sending and reading with deadlines, and cutting a
// byte stream into CR LF lines.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

using Clock = std::chrono::steady_clock;

// Closes its descriptor when it goes; -1 holds none.
class SocketFd {
 public:
  explicit SocketFd(int fd = -1) : fd_(fd) {}
  ~SocketFd() { Reset(); }
  SocketFd(SocketFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  SocketFd& operator=(SocketFd&& other) noexcept;
  SocketFd(const SocketFd&) = delete;
  SocketFd& operator=(const SocketFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  void Reset(int fd = -1);

 private:
  int fd_;
};

// A TCP socket bound to 127.0.0.1 on a port of the system's choice, listening or
// not (connects to a bound socket that does not listen are refused).
SocketFd BindLoopback(bool listening);
std::uint16_t LocalPort(int fd);
// A blocking connection to 127.0.0.1:port, invalid when refused.
SocketFd ConnectLoopback(std::uint16_t port);

// Milliseconds left until the deadline, never negative.
int MillisecondsLeft(Clock::time_point deadline);
bool WaitReadable(int fd, Clock::time_point deadline);
// Hands every byte to the kernel, waiting for room until the deadline; false when
// the peer is gone or time is up.
bool SendAll(int fd, std::string_view bytes, Clock::time_point deadline);

// Moves every complete line (ended by CR LF, which is dropped) out of the front of
// `buffer`; a lone CR or LF stays inside its line.
std::vector<std::string> TakeCrLfLines(std::string& buffer);

}  // namespace testsupport
