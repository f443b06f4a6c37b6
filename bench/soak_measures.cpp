// What the soak measures about itself.
#include "bench/soak_measures.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <malloc.h>

#include "bench/loopback_peer.h"

namespace bench {

namespace {

std::size_t EntriesOf(const char* folder) {
  std::error_code error;
  std::size_t count = 0;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return count;
}

}  // namespace

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  const std::size_t rank =
      std::min(values.size(),
               std::size_t(std::max(1.0, std::ceil(fraction * double(values.size()))))) -
      1;
  std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(rank), values.end());
  return values[rank];
}

double SlopeMiBPerHour(const std::vector<MemorySample>& samples) {
  if (samples.size() < 2) return 0;
  double mean_t = 0;
  double mean_m = 0;
  for (const MemorySample& sample : samples) {
    mean_t += sample.seconds;
    mean_m += sample.mib;
  }
  mean_t /= double(samples.size());
  mean_m /= double(samples.size());
  double covariance = 0;
  double variance = 0;
  for (const MemorySample& sample : samples) {
    covariance += (sample.seconds - mean_t) * (sample.mib - mean_m);
    variance += (sample.seconds - mean_t) * (sample.seconds - mean_t);
  }
  return variance > 0 ? covariance / variance * 3600.0 : 0;
}

double HighestRiseMiB(const std::vector<MemorySample>& samples) {
  double rise = 0;
  for (const MemorySample& sample : samples) rise = std::max(rise, sample.mib - samples[0].mib);
  return rise;
}

double ResidentMiBInUse() {
  malloc_trim(0);
  return CurrentMemoryMiB();
}

std::size_t OpenFileCount() {
  // The directory being read is itself an open file.
  return EntriesOf("/proc/self/fd") - 1;
}

std::size_t ThreadCount() {
  return EntriesOf("/proc/self/task");
}

}  // namespace bench
