// TRawLog: the record of every line that crossed the connection, both ways, as
// it crossed, with the time and the direction of each; and the window's own
// notes about the connection (a new connection, a line dropped as over-long, a
// line that could not be sent). It keeps the newest lines within a bound on
// their number and on their bytes, so that a connection of any length holds a
// flat amount of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace unit1 {

// The raw log drops its oldest lines beyond this many, or beyond this many
// bytes (of the lines and their bookkeeping), whichever bound comes first.
constexpr std::size_t kRawLogLinesKept = 100'000;
constexpr std::size_t kRawLogBytesKept = std::size_t{32} << 20;

enum class TRawDirection : char {
  rdReceived = '<',
  rdSent = '>',
  rdNote = '-',
};

struct TRawLine {
  // Milliseconds since the epoch.
  std::int64_t Time = 0;
  TRawDirection Direction = TRawDirection::rdNote;
  // The bytes of the line without its line end, as they crossed.
  std::string Bytes;
};

class TRawLog {
 public:
  explicit TRawLog(std::size_t lines_kept = kRawLogLinesKept,
                   std::size_t bytes_kept = kRawLogBytesKept);

  void Add(TRawDirection direction, std::string_view bytes);
  void Add(std::int64_t time, TRawDirection direction, std::string_view bytes);

  // Lines are numbered from the first one ever added: a line keeps its number
  // while older ones go.
  std::uint64_t FirstNumber() const { return first_number_; }
  std::uint64_t EndNumber() const { return first_number_ + lines_.size(); }
  std::size_t Size() const { return lines_.size(); }
  // The line numbered `number`, which must lie in [FirstNumber, EndNumber).
  const TRawLine& Line(std::uint64_t number) const { return lines_[number - first_number_]; }
  // What the kept lines count against the byte bound.
  std::size_t Bytes() const { return bytes_; }

  static std::size_t CostOf(const TRawLine& line);

 private:
  std::deque<TRawLine> lines_;
  std::uint64_t first_number_ = 0;
  std::size_t bytes_ = 0;
  std::size_t lines_kept_;
  std::size_t bytes_kept_;
};

// The line as the raw log shows it: "hh:mm:ss.mmm < text" in local time, with
// the text's bytes made visible (see VisibleBytes).
std::string ShownRawLine(const TRawLine& line);
// Bytes as UTF-8 that shows what they are: well-formed UTF-8 stays, a control
// character becomes its picture (U+2400 + code, U+2421 for DEL), and any byte
// that is not part of well-formed UTF-8 becomes \xNN.
void AppendVisibleBytes(std::string_view bytes, std::string& shown);

}  // namespace unit1
