// A raw log line as text: its local time, its direction and its bytes.
#include "rawlog/raw_line_text.h"

#include <algorithm>
#include <ctime>

#include "bytes/byte_escapes.h"

namespace rawlog {

namespace {

void AppendTwoDigits(int value, std::string& out) {
  out += char('0' + value / 10);
  out += char('0' + value % 10);
}

// "hh:mm:ss.mmm < " in local time. Lines come many to a second: the clock
// text of the last second is kept, so that a run of lines looks it up once.
void AppendTimeAndDirection(const TRawLine& line, std::string& shown) {
  thread_local std::int64_t kept_second = -1;
  thread_local char kept_clock[8];
  const std::int64_t second = line.Time / 1000;
  if (second != kept_second) {
    const std::time_t seconds = std::time_t(second);
    std::tm local{};
    localtime_r(&seconds, &local);
    std::string clock;
    AppendTwoDigits(local.tm_hour, clock);
    clock += ':';
    AppendTwoDigits(local.tm_min, clock);
    clock += ':';
    AppendTwoDigits(local.tm_sec, clock);
    std::copy(clock.begin(), clock.end(), kept_clock);
    kept_second = second;
  }
  shown.append(kept_clock, sizeof kept_clock);
  shown += '.';
  const int ms = int(line.Time % 1000);
  shown += char('0' + ms / 100);
  AppendTwoDigits(ms % 100, shown);
  shown += ' ';
  shown += char(line.Direction);
  shown += ' ';
}

}  // namespace

std::string ShownRawLine(const TRawLine& line) {
  std::string shown;
  shown.reserve(15 + line.Bytes.size());
  ShowRawLine(line, shown);
  return shown;
}

void ShowRawLine(const TRawLine& line, std::string& shown) {
  shown.clear();
  AppendTimeAndDirection(line, shown);
  bytes::AppendVisibleBytes(line.Bytes, shown);
}

std::string SavedRawLine(const TRawLine& line) {
  std::string saved;
  saved.reserve(15 + line.Bytes.size());
  AppendTimeAndDirection(line, saved);
  bytes::AppendEscapedBytes(line.Bytes, saved);
  return saved;
}

}  // namespace rawlog
