// What a long names reply costs the window: a loopback peer registers the real
// main window (offscreen), confirms its join, sends names replies of N
// nicknames in random order, 40 to a line, then a PING, and waits for the
// PONG. Reported: the CPU time of the window's thread from the connect to the
// PONG; how long after the last names line reached the window the PONG was
// sent; and how long after the peer handed the last byte to the connection the
// PONG arrived there (a loose upper bound: the connection still holds much of
// the burst then). The joins rows: N members join one by one, in random order,
// into a channel of a few, once as they are and once after a member's rename
// has put the list out of order; the second row's cost beside the first's.
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

// A netjoin: `count` JOINs in random order after a names reply of a few, and
// after a NICK that leaves the renamed entry out of its order when `renamed`.
std::string Joins(std::size_t count, bool renamed) {
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(9));
  std::string stream =
      ":irc.test 001 Tolvex :Welcome\r\n:Tolvex!q@host JOIN :#beginner\r\n"
      ":irc.test 353 Tolvex = #beginner :@Tolvex alice bob carol\r\n"
      ":irc.test 366 Tolvex #beginner :End of /NAMES list.\r\n";
  if (renamed) stream += ":alice!a@host NICK :zara\r\n";
  for (const std::size_t i : order) {
    stream += ":j" + std::to_string(i) + "!u@host JOIN :#beginner\r\n";
  }
  return stream + "PING :behind\r\n";
}

// The CPU the joins may cost, and the joins without a rename's, by row.
constexpr double kJoinsCpuGoalSeconds = 0.57;
double& JoinsInOrderCpu() {
  static double cpu = 0;
  return cpu;
}

// The window takes `stream` up to its PING; the CPU of the window's thread
// from the connect to the PONG.
double TakeStream(const std::string& stream, int& names_listed) {
  bench::LoopbackPeer peer(stream, "PONG behind\r\n");
  unit1::TForm1 form;
  form.show();
  bool ended = false;
  bench::AimWindowAt(form, peer.Port(), ended);
  const double cpu = bench::ThreadCpuSeconds();
  form.btnConnectClick();
  while (!ended) winsys::Application().HandleMessage();
  QCoreApplication::processEvents();
  const double cpu_s = bench::ThreadCpuSeconds() - cpu;
  peer.Finish();
  names_listed = form.lbNames->count();
  return cpu_s;
}

void BM_JoinsAfterRename(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const bool renamed = state.range(1) != 0;
  const std::string stream = Joins(count, renamed);
  for (auto _ : state) {
    int names_listed = 0;
    const double cpu_s = TakeStream(stream, names_listed);
    state.SetIterationTime(cpu_s);
    state.counters["cpu_s"] = cpu_s;
    state.counters["cpu_goal_s"] = kJoinsCpuGoalSeconds;
    if (!renamed) JoinsInOrderCpu() = cpu_s;
    if (renamed && JoinsInOrderCpu() > 0) state.counters["x_in_order"] = cpu_s / JoinsInOrderCpu();
    state.counters["names_listed"] = names_listed;
    if (std::size_t(names_listed) < count + 4) state.SkipWithError("names were lost");
  }
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
// In order first, so that the row after a rename can show its ratio.
BENCHMARK(BM_JoinsAfterRename)
    ->ArgNames({"joins", "renamed"})
    ->Args({20'000, 0})
    ->Args({20'000, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
