// The loopback tests' far end on POSIX sockets.
#include "tests/transport/stream_peer.h"

#include <sys/socket.h>

#include <chrono>
#include <random>

namespace transport_test {
namespace {

using testsupport::Clock;
using namespace std::chrono_literals;

constexpr auto kPatience = 30s;

// Pieces and pauses that shape the stream: mostly small pieces, now and then a
// pause of up to 2 ms, so that the client sees lines cut everywhere.
class Shaper {
 public:
  explicit Shaper(std::uint32_t seed) : random_(seed) {}
  std::size_t Piece() { return std::uniform_int_distribution<std::size_t>(1, 3000)(random_); }
  void MaybePause() {
    if (random_() % 8 == 0)
      std::this_thread::sleep_for(std::chrono::microseconds(random_() % 2000));
  }

 private:
  std::mt19937 random_;
};

}  // namespace

StreamPeer::StreamPeer() : listener_(testsupport::BindLoopback(true)) {}

StreamPeer::~StreamPeer() {
  if (thread_.joinable()) thread_.join();
}

std::uint16_t StreamPeer::Port() const {
  return testsupport::LocalPort(listener_.Get());
}

void StreamPeer::Run(std::function<void(int fd)> script) {
  thread_ = std::thread([this, script = std::move(script)] {
    if (!testsupport::WaitReadable(listener_.Get(), Clock::now() + 5s)) return;
    const testsupport::SocketFd connection(accept(listener_.Get(), nullptr, nullptr));
    if (connection.Valid()) script(connection.Get());
  });
}

bool SendInPieces(int fd, std::string_view bytes, std::uint32_t seed) {
  Shaper shaper(seed);
  const auto deadline = Clock::now() + kPatience;
  while (!bytes.empty()) {
    const std::size_t piece = std::min(shaper.Piece(), bytes.size());
    if (!testsupport::SendAll(fd, bytes.substr(0, piece), deadline)) return false;
    bytes.remove_prefix(piece);
    shaper.MaybePause();
  }
  return true;
}

std::string ReceiveInPieces(int fd, std::size_t count, std::uint32_t seed) {
  Shaper shaper(seed);
  const auto deadline = Clock::now() + kPatience;
  std::string received;
  std::string piece;
  while (received.size() < count && testsupport::WaitReadable(fd, deadline)) {
    piece.resize(std::min(shaper.Piece(), count - received.size()));
    const ssize_t n = recv(fd, piece.data(), piece.size(), 0);
    if (n <= 0) break;
    received.append(piece, 0, std::size_t(n));
    shaper.MaybePause();
  }
  return received;
}

}  // namespace transport_test
