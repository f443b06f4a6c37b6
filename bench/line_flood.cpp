// How fast the whole receive path carries a flood of server lines: a loopback
// peer thread writes N lines as fast as the connection takes them; a text client
// with 5120-byte buffers and all four line options cuts them and hands each to
// an IRC engine with every event assigned. The floor reads the same stream with a
// plain blocking recv loop that only counts line ends.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "bench/irc_line_mix.h"
#include "platform/winsys/winsys.h"
#include "transport/text_client.h"

// The POSIX socket headers come last: their macros would rewrite names that the
// socket layer's headers declare.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The first `count` lines of the mix, repeated round after round, as one stream.
std::string Flood(std::size_t count) {
  const std::vector<std::string> mix = bench::RealisticMix();
  std::string stream;
  for (std::size_t i = 0; i < count; ++i) stream += mix[i % mix.size()];
  return stream;
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// A listening socket on 127.0.0.1 whose thread writes the stream to the first
// connection with blocking sends, as fast as the connection takes it, then
// closes.
class FloodPeer {
 public:
  explicit FloodPeer(const std::string& stream) : listener_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    listen(listener_, 1);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, &stream] {
      const int connection = accept(listener_, nullptr, nullptr);
      for (std::size_t at = 0; connection >= 0 && at < stream.size();) {
        const ssize_t sent = send(connection, stream.data() + at, stream.size() - at, MSG_NOSIGNAL);
        if (sent <= 0) break;
        at += std::size_t(sent);
      }
      close(connection);
    });
  }
  ~FloodPeer() {
    thread_.join();
    close(listener_);
  }
  std::uint16_t Port() const { return port_; }

 private:
  int listener_;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

// Real time, reader CPU time and the rates of one pass over `lines` lines.
class PassTimer {
 public:
  PassTimer() : wall_(std::chrono::steady_clock::now()), cpu_(ThreadCpuSeconds()) {}
  void Report(benchmark::State& state, std::size_t lines, std::size_t bytes) const {
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
    const double cpu = ThreadCpuSeconds() - cpu_;
    state.SetIterationTime(wall);
    state.counters["lines/s"] = double(lines) / wall;
    state.counters["MB/s"] = double(bytes) / wall / 1e6;
    state.counters["cpu_s/Mline"] = cpu / double(lines) * 1e6;
  }

 private:
  std::chrono::steady_clock::time_point wall_;
  double cpu_;
};

void BM_TextClientIntoParlane(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string stream = Flood(count);
  for (auto _ : state) {
    irc::TParlane irc;
    bench::TTouch touch;
    bench::PrepareParlane(irc, touch);

    transport::TTextClient client(nullptr);
    client.SetReadBufferSize(5120);
    client.SetWriteBufferSize(5120);
    client.LineOptions = {transport::lsoAddLineChars, transport::lsoAutoFlushAfterWrite,
                          transport::lsoReturnLineChars, transport::lsoLineReceivedEvents};
    std::size_t lines = 0;
    bool ended = false;
    client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
      irc.ProcessLine(line);
      ++lines;
    };
    client.OnDisconnect = [&](sockets::TSockCtrl&, sockets::TSocketBase*) { ended = true; };
    FloodPeer peer(stream);
    client.SetAddress("127.0.0.1");
    client.SetPort(std::to_string(peer.Port()));

    const PassTimer timer;
    client.Open(transport::TTextClient::LineSocketClass());
    while (lines < count && !ended) winsys::Application().HandleMessage();
    timer.Report(state, lines, stream.size());
    benchmark::DoNotOptimize(touch.sum);
    if (lines != count) state.SkipWithError("lines were lost");
  }
}
BENCHMARK(BM_TextClientIntoParlane)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Floor_RecvCountingLineEnds(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string stream = Flood(count);
  for (auto _ : state) {
    FloodPeer peer(stream);
    const PassTimer timer;
    const int reader = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(peer.Port());
    connect(reader, reinterpret_cast<sockaddr*>(&address), sizeof address);
    std::size_t lines = 0;
    char buffer[5120];
    for (ssize_t got; (got = recv(reader, buffer, sizeof buffer, 0)) > 0;) {
      lines += std::size_t(std::count(buffer, buffer + got, '\n'));
    }
    close(reader);
    timer.Report(state, lines, stream.size());
    if (lines != count) state.SkipWithError("lines were lost");
  }
}
BENCHMARK(BM_Floor_RecvCountingLineEnds)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The socket layer delivers its notifications through the Qt event loop.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
