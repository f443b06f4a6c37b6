// The far end of the client's connections in the tests: plain sockets on
// 127.0.0.1, kept out of the socket library's header (the POSIX headers would
// clash with its names). Every wait has a deadline.
#pragma once

#include <cstdint>
#include <string>

namespace sockets_test {

class LoopbackPeer {
 public:
  explicit LoopbackPeer(int fd = -1) : fd_(fd) {}
  ~LoopbackPeer() { Close(); }
  LoopbackPeer(LoopbackPeer&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  LoopbackPeer& operator=(LoopbackPeer&&) = delete;

  // Bound to a port of the system's choice; without listening, connects to it
  // are refused.
  static LoopbackPeer Bound(bool listening = true);
  std::uint16_t Port() const;
  LoopbackPeer Accept(int timeout_ms = 5000) const;
  void Send(const std::string& data) const;
  // What arrives within the deadline, until `count` bytes are in.
  std::string Receive(std::size_t count, int timeout_ms = 5000) const;
  void Close();

 private:
  int fd_;
};

}  // namespace sockets_test
