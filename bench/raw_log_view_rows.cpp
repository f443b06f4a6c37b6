// The raw log's filter as the window runs it, over a full log: how long it
// takes, its CPU time, and the longest turn of the event loop it holds.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Unit1/raw_log_view.h"
#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"
#include "rawlog/raw_log.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kLines = 1'000'000;
// Ten lines a millisecond, as in a flood.
constexpr std::int64_t kStartMs = 1796648645007;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void BM_RawLogViewFilter(benchmark::State& state) {
  std::vector<std::string> mix = bench::RealisticMix();
  for (std::string& line : mix) line.resize(line.size() - 2);
  const QString filter = "Seen That";
  for (auto _ : state) {
    // A million lines of the mix take more than the bound on memory: this log
    // keeps them all, compressed as they would be soon after a flood.
    rawlog::TRawLog log(kLines, std::size_t{1} << 40);
    for (std::size_t i = 0; i < kLines; ++i) {
      log.Add(kStartMs + std::int64_t(i / 10), rawlog::TRawDirection::rdReceived,
              mix[i % mix.size()]);
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
    while (log.BlocksNotCompressed() > 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      log.TakeCompressed();
    }
    unit1::TRawLogView view(log);
    view.resize(800, 400);
    view.show();
    view.Sync();
    QCoreApplication::processEvents();
    const Clock::time_point start = Clock::now();
    const double cpu = bench::ThreadCpuSeconds();
    view.SetFilter(filter);
    double longest_turn = Seconds(start);
    while (view.Searching()) {
      const Clock::time_point turn = Clock::now();
      QCoreApplication::processEvents();
      longest_turn = std::max(longest_turn, Seconds(turn));
    }
    const double after_s = Seconds(start);
    state.SetIterationTime(after_s);
    state.counters["lines"] = double(log.Size());
    state.counters["after_cpu_s"] = bench::ThreadCpuSeconds() - cpu;
    state.counters["after_s"] = after_s;
    state.counters["longest_turn_ms"] = longest_turn * 1e3;
    state.counters["matched_after"] = view.Count();
  }
}

}  // namespace

// After the window's rows, whose peaks it would spoil.
BENCHMARK(BM_RawLogViewFilter)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
