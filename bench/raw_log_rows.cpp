// The raw log's rows of window_flood, each with the log as it was beside it in
// the same run: the cost of recording a line on the window's thread (the
// compression runs on a thread of its own) and the memory of a full log, and
// the filter over a million lines (how long it takes, its CPU time beside
// reading the lines alone, and the longest turn of the event loop it holds).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Unit1/raw_log.h"
#include "Unit1/raw_log_filter.h"
#include "Unit1/raw_log_reader.h"
#include "Unit1/raw_log_view.h"
#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"
#include "bench/raw_log_before.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kLines = 1'000'000;
// Recording pauses this often for the compression to catch up.
constexpr std::size_t kLinesBetweenPauses = 10'000;
constexpr std::chrono::milliseconds kPause{5};
// The bounds the log had before.
constexpr std::size_t kLinesKeptBefore = 100'000;
// Ten lines a millisecond, as in a flood.
constexpr std::int64_t kStartMs = 1796648645007;

// The busy channel's lines as the log holds them, without their line ends.
std::vector<std::string> MixLines() {
  std::vector<std::string> lines = bench::RealisticMix();
  for (std::string& line : lines) line.resize(line.size() - 2);
  return lines;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Until the blocks sealed so far are all compressed, as they are soon after
// a flood.
void AwaitCompression(unit1::TRawLog& log) {
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
  do {
    std::this_thread::sleep_for(kPause);
    log.TakeCompressed();
  } while (log.BlocksNotCompressed() > 0 && Clock::now() < deadline);
}

// The CPU seconds of the recording thread: on a shared machine the wall
// clock says more about the neighbours.
template <typename Log>
double Record(Log& log, const std::vector<std::string>& mix, std::size_t from, std::size_t to) {
  const double start = bench::ThreadCpuSeconds();
  for (std::size_t i = from; i < to; ++i) {
    log.Add(kStartMs + std::int64_t(i / 10), unit1::TRawDirection::rdReceived, mix[i % mix.size()]);
  }
  return bench::ThreadCpuSeconds() - start;
}

template <typename Log>
double Record(Log& log, const std::vector<std::string>& mix, std::size_t count) {
  return Record(log, mix, 0, count);
}

void BM_RawLogRecord(benchmark::State& state) {
  const std::vector<std::string> mix = MixLines();
  for (auto _ : state) {
    // Both sides record in the same rhythm, pausing every so many lines: a
    // pause lets other work cool the caches, as the window's other work does.
    bench::TRawLogBefore before(kLinesKeptBefore, unit1::kRawLogBytesKept);
    double before_s = 0;
    for (std::size_t from = 0; from < kLines; from += kLinesBetweenPauses) {
      before_s += Record(before, mix, from, from + kLinesBetweenPauses);
      std::this_thread::sleep_for(kPause);
    }
    // In the window the compression keeps up with the lines, which come
    // between much other work; alone, the lines would outrun it, so it is
    // given time (not counted) every so many.
    unit1::TRawLog after;
    double after_s = 0;
    for (std::size_t from = 0; from < kLines; from += kLinesBetweenPauses) {
      after_s += Record(after, mix, from, from + kLinesBetweenPauses);
      AwaitCompression(after);
    }
    state.SetIterationTime(after_s);
    state.counters["before_cpu_ns/line"] = before_s / double(kLines) * 1e9;
    state.counters["after_cpu_ns/line"] = after_s / double(kLines) * 1e9;
    state.counters["x_before"] = after_s / before_s;
    // Full: what each keeps of the same million lines, and the memory it takes.
    state.counters["before_lines_kept"] = double(before.Size());
    state.counters["before_MiB"] = double(before.Bytes()) / (1 << 20);
    state.counters["after_lines_kept"] = double(after.Size());
    state.counters["after_MiB"] = double(after.Bytes()) / (1 << 20);
  }
}

void BM_RawLogFilter(benchmark::State& state) {
  const std::vector<std::string> mix = MixLines();
  const QString filter = "Seen That";
  for (auto _ : state) {
    // A million lines of the mix take more than the bound on memory: this log
    // keeps them all.
    unit1::TRawLog log(kLines, std::size_t{1} << 40);
    Record(log, mix, kLines);
    AwaitCompression(log);
    const std::size_t kept = log.Size();
    std::size_t matched_before = 0;
    double before_s = 0;
    {
      // Before, on the lines the log keeps now: each shown and looked in, in
      // one go.
      bench::TRawLogBefore before(kLines, std::size_t{1} << 40);
      Record(before, mix, kLines);
      const std::string lower = filter.toLower().toStdString();
      const double start = bench::ThreadCpuSeconds();
      for (std::size_t i = before.Size() - kept; i < before.Size(); ++i) {
        if (bench::MatchedBefore(before.Line(i), lower)) ++matched_before;
      }
      before_s = bench::ThreadCpuSeconds() - start;
    }
    // Reading alone, and reading with the filter's test, without the view.
    const auto scan = [&](bool test) {
      const double start = bench::ThreadCpuSeconds();
      unit1::TRawLogReader reader(log.Blocks());
      unit1::TRawLineFilter test_filter(filter);
      reader.Seek(log.FirstNumber());
      unit1::TRawLine line;
      std::size_t matched = 0;
      while (reader.Next(line)) matched += test ? test_filter.Matches(line) : line.Bytes.size();
      benchmark::DoNotOptimize(matched);
      return bench::ThreadCpuSeconds() - start;
    };
    const double read_s = scan(false);
    const double test_s = scan(true);
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
    const double after_cpu_s = bench::ThreadCpuSeconds() - cpu;
    state.SetIterationTime(after_s);
    state.counters["lines"] = double(kept);
    state.counters["log_MiB"] = double(log.Bytes()) / (1 << 20);
    state.counters["before_cpu_s"] = before_s;
    state.counters["after_cpu_s"] = after_cpu_s;
    state.counters["after_s"] = after_s;
    state.counters["read_cpu_s"] = read_s;
    state.counters["read_and_test_cpu_s"] = test_s;
    state.counters["longest_turn_ms"] = longest_turn * 1e3;
    state.counters["matched_before"] = double(matched_before);
    state.counters["matched_after"] = view.Count();
    if (std::size_t(view.Count()) != matched_before) state.SkipWithError("the filters disagree");
  }
}

}  // namespace

// After the window's rows, whose peaks these would spoil.
BENCHMARK(BM_RawLogRecord)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawLogFilter)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
