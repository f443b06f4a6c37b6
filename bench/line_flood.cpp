// How fast the whole receive path carries a flood of server lines: a loopback
// peer thread (on 127.0.0.1, and again on ::1) writes N lines as fast as the
// connection takes them; a text client
// with 5120-byte buffers and all four line options cuts them and hands each to
// an IRC engine with every event assigned. The floor reads the same stream with a
// plain blocking recv loop that only counts line ends.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "bench/headless_stack.h"
#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"

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

// The rates of one pass.
void Report(benchmark::State& state, const bench::TPass& pass, std::size_t bytes,
            std::size_t count) {
  state.SetIterationTime(pass.wall);
  state.counters["lines/s"] = double(pass.lines) / pass.wall;
  state.counters["MB/s"] = double(bytes) / pass.wall / 1e6;
  state.counters["cpu_s/Mline"] = pass.cpu / double(pass.lines) * 1e6;
  if (pass.lines != count) state.SkipWithError("lines were lost");
}

void BM_TextClientIntoParlane(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const bool ipv6 = state.range(1) != 0;
  const std::string stream = Flood(count);
  for (auto _ : state) {
    Report(state, bench::RunHeadlessStack(stream, count, ipv6), stream.size(), count);
  }
}
BENCHMARK(BM_TextClientIntoParlane)
    ->ArgNames({"lines", "ipv6"})
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Floor_RecvCountingLineEnds(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string stream = Flood(count);
  for (auto _ : state) {
    bench::LoopbackPeer peer(stream);
    const auto start = std::chrono::steady_clock::now();
    const double cpu = bench::ThreadCpuSeconds();
    const int reader = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(peer.Port());
    connect(reader, reinterpret_cast<sockaddr*>(&address), sizeof address);
    bench::TPass pass;
    char buffer[5120];
    for (ssize_t got; (got = recv(reader, buffer, sizeof buffer, 0)) > 0;) {
      pass.lines += std::size_t(std::count(buffer, buffer + got, '\n'));
    }
    close(reader);
    pass.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    pass.cpu = bench::ThreadCpuSeconds() - cpu;
    Report(state, pass, stream.size(), count);
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
