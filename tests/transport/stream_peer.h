// The far end of the loopback tests: a plain thread with POSIX sockets that
// accepts one connection on 127.0.0.1 and runs a script on it, cutting what it
// sends and reads into random pieces with short random pauses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "tests/support/loopback_socket.h"

namespace transport_test {

class StreamPeer {
 public:
  StreamPeer();
  // Waits for the script to end.
  ~StreamPeer();
  StreamPeer(const StreamPeer&) = delete;
  StreamPeer& operator=(const StreamPeer&) = delete;

  std::uint16_t Port() const;
  // Accepts one connection within a few seconds, on the peer's thread, and runs
  // `script` with its descriptor there.
  void Run(std::function<void(int fd)> script);

 private:
  testsupport::SocketFd listener_;
  std::thread thread_;
};

// On the peer's thread. All of `bytes`, in pieces of 1 to 3000 bytes; false when
// the connection failed or took too long.
bool SendInPieces(int fd, std::string_view bytes, std::uint32_t seed);
// `count` bytes, read in pieces of 1 to 3000 bytes; fewer when the connection
// ended or took too long.
std::string ReceiveInPieces(int fd, std::size_t count, std::uint32_t seed);

}  // namespace transport_test
