// The far end of every loopback test: a plain POSIX socket on 127.0.0.1 that
// listens, accepts, connects, sends and reads with deadlines, and cuts a byte
// stream into CR LF lines. No POSIX header here, so that the tests of the socket
// library can include it next to the library's own names.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

using Clock = std::chrono::steady_clock;

// Closes its descriptor when it goes; an invalid one holds none.
class LoopbackSocket {
 public:
  explicit LoopbackSocket(int fd = -1) : fd_(fd) {}
  ~LoopbackSocket() { Close(); }
  LoopbackSocket(LoopbackSocket&& other) noexcept;
  LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;
  LoopbackSocket(const LoopbackSocket&) = delete;
  LoopbackSocket& operator=(const LoopbackSocket&) = delete;

  // Listening on a port of the system's choice (or `port`), on 127.0.0.1 or
  // on ::1 (IPv6 only); a backlog of 0 makes a queue that soon drops further
  // connection requests. Invalid when that address or port cannot be had.
  static LoopbackSocket Listen(int backlog = 8, bool ipv6 = false, std::uint16_t port = 0);
  // Bound without listening: connects to it are refused.
  static LoopbackSocket BoundOnly(bool ipv6 = false, std::uint16_t port = 0);
  // A blocking connection to 127.0.0.1:port (or [::1]:port), invalid when
  // refused. Connections send small writes at once.
  static LoopbackSocket ConnectTo(std::uint16_t port, bool ipv6 = false);
  static LoopbackSocket Listen6() { return Listen(8, true); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  std::uint16_t Port() const;

  // Something to read, or a connection to accept, within the time.
  bool WaitReadable(int timeout_ms = 5000) const;
  LoopbackSocket Accept(int timeout_ms = 5000) const;
  // Hands every byte to the kernel, waiting for room; false when the peer is gone
  // or time is up.
  bool SendAll(std::string_view bytes, int timeout_ms = 5000) const;
  // What arrives within the time until `count` bytes are in; less when the
  // stream ends first.
  std::string Receive(std::size_t count, int timeout_ms = 5000) const;
  // Appends whatever is waiting to `bytes`, without waiting: false once the
  // stream has ended or failed.
  bool ReadWaiting(std::string& bytes) const;
  // Reads whatever is waiting, without waiting, and drops it.
  void Drain() const {
    std::string dropped;
    ReadWaiting(dropped);
  }

  // From now on sends and reads go in pieces of 1 to 3000 bytes with now and then
  // a pause of up to 2 ms, drawn from `seed`, so that the other end sees the
  // stream cut everywhere.
  void CutIntoPieces(std::uint32_t seed) { pieces_.emplace(seed); }

  void Close();
  // Closes with a reset instead of the end of the stream.
  void CloseWithReset();

 private:
  void NoDelay();
  std::size_t NextPiece(std::size_t at_most) const;

  int fd_;
  mutable std::optional<std::mt19937> pieces_;
};

// Milliseconds left until the deadline, never negative.
int MillisecondsLeft(Clock::time_point deadline);

// Moves every complete line (ended by CR LF, which is dropped) out of the front of
// `buffer`; a lone CR or LF stays inside its line.
std::vector<std::string> TakeCrLfLines(std::string& buffer);

}  // namespace testsupport
