// What the end-to-end benchmarks share: a loopback server thread that writes a
// stream to its first client as fast as the connection takes it (and can wait
// for a line from the client), the CPU time of the calling thread, and the
// process's peak memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace bench {

class LoopbackPeer {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts listening on 127.0.0.1 (or ::1); the thread writes `stream` and its
  // end to the first connection, then reads what the client writes until the
  // client closes, noting when `awaited` (when not empty) came.
  explicit LoopbackPeer(const std::string& stream, std::string awaited = {}, bool ipv6 = false);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  std::uint16_t Port() const { return port_; }
  // Joins the thread; then the two moments below are set.
  void Finish();
  // When the last byte of the stream was handed to the connection, and when
  // the awaited text arrived (equal to the first when none was awaited or the
  // client left first).
  Clock::time_point LastByteSent() const { return last_sent_; }
  Clock::time_point AwaitedArrived() const { return arrived_; }

 private:
  int listener_;
  std::uint16_t port_ = 0;
  Clock::time_point last_sent_;
  Clock::time_point arrived_;
  std::thread thread_;
};

// Binds `listener` to a free port of 127.0.0.1 (of ::1 for an IPv6 socket) and
// listens; returns the port.
std::uint16_t ListenOnLoopback(int listener, int backlog);

double ThreadCpuSeconds();
// The peak resident memory of the process so far, and the resident memory now.
double PeakMemoryMiB();
double CurrentMemoryMiB();

}  // namespace bench
