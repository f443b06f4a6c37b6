// What the soak measures about itself: percentiles of delays, the trend of
// resident memory, and the process's open files and threads.
#pragma once

#include <cstddef>
#include <vector>

namespace bench {

struct MemorySample {
  double seconds;
  double mib;
};

// The value below which `fraction` of the values lie (nearest rank); 0 for none.
double Percentile(std::vector<double> values, double fraction);
// The least-squares slope of the samples, in MiB per hour; 0 for fewer than two
// distinct times.
double SlopeMiBPerHour(const std::vector<MemorySample>& samples);
// How far the highest sample lies above the first; 0 for none.
double HighestRiseMiB(const std::vector<MemorySample>& samples);
// The resident memory once the allocator has handed back the free memory it
// keeps, so that samples follow the memory in use, not its high-water marks.
double ResidentMiBInUse();
std::size_t OpenFileCount();
std::size_t ThreadCount();

}  // namespace bench
