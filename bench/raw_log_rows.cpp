// The raw log's store, each row with the log as it was beside it in the same
// run: the cost of recording a line on the window's thread (the compression
// runs on a thread of its own) and the memory of a full log, and the filter's
// test over a million lines (its CPU time beside reading the lines alone).
// The filter as the view runs it, a slice at a time, is a row of window_flood.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"
#include "bench/raw_log_before.h"
#include "rawlog/raw_log.h"
#include "rawlog/raw_log_filter.h"
#include "rawlog/raw_log_reader.h"

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

// Until the blocks sealed so far are all compressed, as they are soon after
// a flood.
void AwaitCompression(rawlog::TRawLog& log) {
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
    log.Add(kStartMs + std::int64_t(i / 10), rawlog::TRawDirection::rdReceived,
            mix[i % mix.size()]);
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
    bench::TRawLogBefore before(kLinesKeptBefore, rawlog::kRawLogBytesKept);
    double before_s = 0;
    for (std::size_t from = 0; from < kLines; from += kLinesBetweenPauses) {
      before_s += Record(before, mix, from, from + kLinesBetweenPauses);
      std::this_thread::sleep_for(kPause);
    }
    // In the window the compression keeps up with the lines, which come
    // between much other work; alone, the lines would outrun it, so it is
    // given time (not counted) every so many.
    rawlog::TRawLog after;
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
  const std::string filter = "Seen That";
  for (auto _ : state) {
    // A million lines of the mix take more than the bound on memory: this log
    // keeps them all.
    rawlog::TRawLog log(kLines, std::size_t{1} << 40);
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
      const std::string lower = "seen that";
      const double start = bench::ThreadCpuSeconds();
      for (std::size_t i = before.Size() - kept; i < before.Size(); ++i) {
        if (bench::MatchedBefore(before.Line(i), lower)) ++matched_before;
      }
      before_s = bench::ThreadCpuSeconds() - start;
    }
    // Reading alone, and reading with the filter's test.
    std::size_t matched_after = 0;
    const auto scan = [&](bool test) {
      const double start = bench::ThreadCpuSeconds();
      rawlog::TRawLogReader reader(log.Blocks());
      rawlog::TRawLineFilter test_filter(filter);
      reader.Seek(log.FirstNumber());
      rawlog::TRawLine line;
      std::size_t matched = 0;
      while (reader.Next(line)) matched += test ? test_filter.Matches(line) : line.Bytes.size();
      benchmark::DoNotOptimize(matched);
      if (test) matched_after = matched;
      return bench::ThreadCpuSeconds() - start;
    };
    const double read_s = scan(false);
    const double test_s = scan(true);
    state.SetIterationTime(test_s);
    state.counters["lines"] = double(kept);
    state.counters["log_MiB"] = double(log.Bytes()) / (1 << 20);
    state.counters["before_cpu_s"] = before_s;
    state.counters["read_cpu_s"] = read_s;
    state.counters["read_and_test_cpu_s"] = test_s;
    state.counters["matched_before"] = double(matched_before);
    state.counters["matched_after"] = double(matched_after);
    if (matched_after != matched_before) state.SkipWithError("the filters disagree");
  }
}

}  // namespace

BENCHMARK(BM_RawLogRecord)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawLogFilter)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
