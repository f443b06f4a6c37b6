// What a long names reply costs the window: a loopback peer registers the real
// main window (offscreen), confirms its join, sends names replies of N
// nicknames in random order, 40 to a line, then a PING, and waits for the
// PONG. Reported: the CPU time of the window's thread from the connect to the
// PONG; how long after the last names line reached the window the PONG was
// sent; and how long after the peer handed the last byte to the connection the
// PONG arrived there (a loose upper bound: the connection still holds much of
// the burst then).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "Unit1/unit1.h"
#include "bench/loopback_peer.h"
#include "bench/window_session.h"
#include "platform/winsys/winsys.h"
#include "transport/text_client.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kNamesPerLine = 40;

// What a burst may cost the window: CPU seconds by its size, and the peak
// resident memory of the whole process at the largest.
double CpuGoalSeconds(std::size_t count) {
  return count <= 20'000 ? 0.04 : 0.19;
}
constexpr double kPeakGoalMiB = 40;

std::string NamesBurst(std::size_t count) {
  static const char* const kStems[] = {"al", "Bo", "cy", "De", "ev", "Fi", "gu", "Ha"};
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  std::string stream = ":irc.test 001 Tolvex :Welcome\r\n:Tolvex!q@host JOIN :#beginner\r\n";
  for (std::size_t at = 0; at < count; at += kNamesPerLine) {
    stream += ":irc.test 353 Tolvex = #beginner :";
    for (std::size_t i = at; i < std::min(count, at + kNamesPerLine); ++i) {
      if (i > at) stream += ' ';
      stream += std::string(kStems[order[i] % 8]) + std::to_string(order[i]);
    }
    stream += "\r\n";
  }
  stream += ":irc.test 366 Tolvex #beginner :End of /NAMES list.\r\nPING :behind\r\n";
  return stream;
}

void BM_NamesBurst(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string stream = NamesBurst(count);
  for (auto _ : state) {
    // Made first, so that it outlives the window: it ends once the window has
    // closed the connection.
    bench::LoopbackPeer peer(stream, "PONG behind\r\n");
    unit1::TForm1 form;
    form.show();
    // When the last names line reached the window, and when the PING's
    // handling (which sends the PONG) was over.
    Clock::time_point last_names;
    Clock::time_point pong_sent;
    const transport::TLineReceivedEvent handle = form.IRCClient->OnLineReceived;
    form.IRCClient->OnLineReceived = [&](transport::TLineSocketBase& socket,
                                         const std::string& line, bool complete) {
      if (line.starts_with(":irc.test 353 ")) last_names = Clock::now();
      handle(socket, line, complete);
      if (line.starts_with("PING ")) pong_sent = Clock::now();
    };
    bool ended = false;
    bench::AimWindowAt(form, peer.Port(), ended);
    const double peak_before = bench::CurrentMemoryMiB();
    const Clock::time_point start = Clock::now();
    const double cpu = bench::ThreadCpuSeconds();
    form.btnConnectClick();
    // The stream ends after the PING; the window returns to idle at that end.
    while (!ended) winsys::Application().HandleMessage();
    QCoreApplication::processEvents();
    const double cpu_s = bench::ThreadCpuSeconds() - cpu;
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    peer.Finish();
    state.SetIterationTime(wall);
    state.counters["cpu_s"] = cpu_s;
    state.counters["cpu_goal_s"] = CpuGoalSeconds(count);
    state.counters["pong_after_last_names_line_ms"] =
        std::chrono::duration<double, std::milli>(pong_sent - last_names).count();
    state.counters["pong_after_last_byte_sent_ms"] =
        std::chrono::duration<double, std::milli>(peer.AwaitedArrived() - peer.LastByteSent())
            .count();
    state.counters["names_listed"] = form.lbNames->count();
    state.counters["peak_MiB"] = bench::PeakMemoryMiB();
    state.counters["peak_goal_MiB"] = kPeakGoalMiB;
    state.counters["peak_growth_MiB"] = bench::PeakMemoryMiB() - peak_before;
    if (std::size_t(form.lbNames->count()) < count) state.SkipWithError("names were lost");
  }
}
BENCHMARK(BM_NamesBurst)
    ->ArgName("names")
    ->Arg(20'000)
    ->Arg(100'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
