// Reading from plain loopback connections without waiting.
#include "tests/sockets/peer_stream.h"

#include <sys/socket.h>

#include <cerrno>

namespace sockets_test {

bool TakeArrived(int fd, std::string& into) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      into.append(buffer, std::size_t(n));
      continue;
    }
    // Nothing more for now; the end of the stream, a reset or a failure ends it.
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
  }
}

}  // namespace sockets_test
