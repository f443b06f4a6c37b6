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
#include <memory>
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
  // Bytes sent exactly as given, with no line end added.
  rdSentBytes = '=',
  rdNote = '-',
};

struct TRawLine {
  // Milliseconds since the epoch.
  std::int64_t Time = 0;
  TRawDirection Direction = TRawDirection::rdNote;
  // The bytes of the line without its line end, as they crossed.
  std::string_view Bytes;
};

class TRawLog {
 public:
  explicit TRawLog(std::size_t lines_kept = kRawLogLinesKept,
                   std::size_t bytes_kept = kRawLogBytesKept);

  void Add(TRawDirection direction, std::string_view bytes);
  void Add(std::int64_t time, TRawDirection direction, std::string_view bytes);
  // Drops every line; the numbering goes on from where it was.
  void Clear();

  // Lines are numbered from the first one ever added: a line keeps its number
  // while older ones go.
  std::uint64_t FirstNumber() const { return first_number_; }
  std::uint64_t EndNumber() const { return first_number_ + lines_.size(); }
  std::size_t Size() const { return lines_.size(); }
  // The line numbered `number`, which must lie in [FirstNumber, EndNumber);
  // its bytes stay valid until the line is dropped.
  TRawLine Line(std::uint64_t number) const { return lines_[number - first_number_]; }
  // The memory the kept lines take: their bytes with the unused rest of the
  // blocks that hold them, and their bookkeeping.
  std::size_t Bytes() const { return bytes_; }

 private:
  // Lines are packed into blocks, each line's bytes behind the previous
  // one's, so that a line costs little more than its bytes.
  struct TBlock {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t used = 0;
    // The kept lines whose bytes it holds.
    std::size_t lines = 0;
  };

  std::string_view Store(std::string_view bytes);
  void DropOldest();

  std::deque<TRawLine> lines_;
  std::deque<TBlock> blocks_;
  std::uint64_t first_number_ = 0;
  std::size_t bytes_ = 0;
  std::size_t lines_kept_;
  std::size_t bytes_kept_;
};

// The line as the raw log shows it: "hh:mm:ss.mmm < text" in local time, with
// the text's bytes made visible (see AppendVisibleBytes).
std::string ShownRawLine(const TRawLine& line);
// The line as it is saved: as shown, but with the text's bytes escaped (see
// AppendEscapedBytes), so that it reads back to them.
std::string SavedRawLine(const TRawLine& line);
// Bytes as UTF-8 that shows what they are, and that reads back to them: a
// backslash shows as \\, a control character as its picture (U+2400 + code,
// U+2421 for DEL), and any byte that is not part of well-formed UTF-8, or that
// begins a picture the bytes hold themselves, as \xNN; other UTF-8 stays.
void AppendVisibleBytes(std::string_view bytes, std::string& shown);

}  // namespace unit1
