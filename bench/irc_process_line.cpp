// How fast the IRC engine handles a realistic stream of server lines, next to a floor
// that only finds the carriage return and the first two blanks of each line.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "bench/irc_line_mix.h"

namespace {

std::size_t TotalBytes(const std::vector<std::string>& lines) {
  std::size_t bytes = 0;
  for (const auto& line : lines) bytes += line.size();
  return bytes;
}

void SetRates(benchmark::State& state, const std::vector<std::string>& lines) {
  const double rounds = static_cast<double>(state.iterations());
  state.counters["lines/s"] =
      benchmark::Counter(rounds * static_cast<double>(lines.size()), benchmark::Counter::kIsRate);
  state.counters["bytes/s"] = benchmark::Counter(rounds * static_cast<double>(TotalBytes(lines)),
                                                 benchmark::Counter::kIsRate);
}

void BM_ProcessLine(benchmark::State& state) {
  const std::vector<std::string> lines = bench::RealisticMix();
  irc::TParlane irc;
  bench::TTouch touch;
  bench::PrepareParlane(irc, touch);

  for (auto _ : state) {
    for (const auto& line : lines) irc.ProcessLine(line);
    benchmark::DoNotOptimize(touch.sum);
  }
  SetRates(state, lines);
}
BENCHMARK(BM_ProcessLine);

void BM_Floor_FindCarriageReturnAndTwoBlanks(benchmark::State& state) {
  const std::vector<std::string> lines = bench::RealisticMix();
  for (auto _ : state) {
    for (const auto& line : lines) {
      const std::size_t cr = line.find('\r');
      const std::size_t first = line.find(' ');
      const std::size_t second = line.find(' ', first + 1);
      benchmark::DoNotOptimize(cr);
      benchmark::DoNotOptimize(second);
    }
  }
  SetRates(state, lines);
}
BENCHMARK(BM_Floor_FindCarriageReturnAndTwoBlanks);

}  // namespace

BENCHMARK_MAIN();
