// The loopback peer of the end-to-end benchmarks, and their clocks.
#include "bench/loopback_peer.h"

#include <cstdio>
#include <ctime>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

LoopbackPeer::LoopbackPeer(const std::string& stream, std::string awaited, bool ipv6)
    : listener_(socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0)),
      port_(ListenOnLoopback(listener_, 1)) {
  thread_ = std::thread([this, &stream, awaited = std::move(awaited)] {
    const int connection = accept(listener_, nullptr, nullptr);
    for (std::size_t at = 0; connection >= 0 && at < stream.size();) {
      const ssize_t sent = send(connection, stream.data() + at, stream.size() - at, MSG_NOSIGNAL);
      if (sent <= 0) break;
      at += std::size_t(sent);
    }
    last_sent_ = arrived_ = Clock::now();
    if (connection < 0) return;
    // The end of the stream follows it; what the client writes is read to its
    // end, since closing with bytes unread would reset the connection and the
    // client could lose lines it has not read yet.
    shutdown(connection, SHUT_WR);
    std::string heard;
    bool found = awaited.empty();
    char buffer[4096];
    for (ssize_t got; (got = recv(connection, buffer, sizeof buffer, 0)) > 0;) {
      if (found) continue;
      heard.append(buffer, std::size_t(got));
      if (heard.find(awaited) != std::string::npos) {
        arrived_ = Clock::now();
        found = true;
      } else if (heard.size() > 2 * awaited.size() + sizeof buffer) {
        // Only the tail can still hold the start of the awaited text.
        heard.erase(0, heard.size() - awaited.size());
      }
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

std::uint16_t ListenOnLoopback(int listener, int backlog) {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  getsockname(listener, reinterpret_cast<sockaddr*>(&storage), &length);
  if (storage.ss_family == AF_INET6) {
    auto& address = reinterpret_cast<sockaddr_in6&>(storage);
    address = {};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    length = sizeof address;
  } else {
    auto& address = reinterpret_cast<sockaddr_in&>(storage);
    address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof address;
  }
  bind(listener, reinterpret_cast<sockaddr*>(&storage), length);
  listen(listener, backlog);
  getsockname(listener, reinterpret_cast<sockaddr*>(&storage), &length);
  // The port lies at the same place in both families.
  return ntohs(reinterpret_cast<const sockaddr_in&>(storage).sin_port);
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double CurrentMemoryMiB() {
  long pages = 0;
  long resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

}  // namespace bench
