// The loopback peer of the end-to-end benchmarks, and their clocks.
#include "bench/loopback_peer.h"

#include <ctime>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

LoopbackPeer::LoopbackPeer(const std::string& stream, std::string awaited)
    : listener_(socket(AF_INET, SOCK_STREAM, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
  listen(listener_, 1);
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this, &stream, awaited = std::move(awaited)] {
    const int connection = accept(listener_, nullptr, nullptr);
    for (std::size_t at = 0; connection >= 0 && at < stream.size();) {
      const ssize_t sent = send(connection, stream.data() + at, stream.size() - at, MSG_NOSIGNAL);
      if (sent <= 0) break;
      at += std::size_t(sent);
    }
    last_sent_ = arrived_ = Clock::now();
    std::string heard;
    char buffer[4096];
    while (connection >= 0 && !awaited.empty() && heard.find(awaited) == std::string::npos) {
      const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      heard.append(buffer, std::size_t(got));
      // Only the tail can still hold the start of the awaited text.
      if (heard.size() > 2 * awaited.size() + sizeof buffer) heard.erase(0, heard.size() / 2);
      arrived_ = Clock::now();
    }
    if (connection >= 0) close(connection);
  });
}

LoopbackPeer::~LoopbackPeer() {
  Finish();
  close(listener_);
}

void LoopbackPeer::Finish() {
  if (thread_.joinable()) thread_.join();
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

}  // namespace bench
