// The other end of the library's connections: plain C-library sockets on
// loopback, kept apart from the interface's header (whose names the POSIX
// headers would clash with).
#pragma once

#include <cstdint>
#include <string>

namespace wsock32test {

class LibcSocket {
 public:
  explicit LibcSocket(int fd = -1) : fd_(fd) {}
  ~LibcSocket() { Close(); }
  LibcSocket(LibcSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  LibcSocket& operator=(LibcSocket&& other) noexcept;

  // Listening on 127.0.0.1, on a port of the system's choice.
  static LibcSocket Listen(int backlog = 8);
  // Bound to a loopback port without listening: connects to it are refused.
  static LibcSocket BoundOnly();
  static LibcSocket ConnectTo(std::uint16_t port);

  bool Valid() const { return fd_ >= 0; }
  std::uint16_t Port() const;
  // Waits up to `timeout_ms` for something to read (or a connection to accept).
  bool WaitReadable(int timeout_ms = 5000) const;
  LibcSocket Accept(int timeout_ms = 5000) const;
  bool SendAll(const std::string& data) const;
  // Waits up to `timeout_ms` for data and returns what one read gives.
  std::string Receive(int timeout_ms = 5000) const;
  // Reads whatever is waiting, without waiting.
  void Drain() const;
  // Closes with a reset instead of a graceful close.
  void Reset();
  void Close();

 private:
  int fd_;
};

// The file of the shared object that gives this program its `socket` call.
std::string SocketCallProvider();

}  // namespace wsock32test
