// TRawLog: the record of every line that crossed the connection, both ways, as
// it crossed, with the time and the direction of each; and the window's own
// notes about the connection (a new connection, a line dropped as over-long, a
// line that could not be sent). It keeps the newest lines within a bound on
// their number and on their memory, so that a connection of any length holds a
// flat amount of memory. Lines are packed into blocks; a full block is sealed,
// compressed, and never changes again. Lines are read through TRawLogReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rawlog {

// The raw log drops its oldest lines beyond this many, or beyond this much
// memory (its blocks and their bookkeeping), whichever bound comes first.
constexpr std::size_t kRawLogLinesKept = 1'000'000;
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

// A sealed block: lines numbered from First, packed one behind the other (see
// raw_log_block.h), then compressed on a thread of its own. It never changes:
// its compressed form is a block of its own that takes its place. Shared,
// since a save reads it on a thread of its own while the log may let it go.
struct TRawBlock {
  std::uint64_t First = 0;
  std::uint32_t Lines = 0;
  // The size of the packed lines.
  std::uint32_t PackedSize = 0;
  bool Compressed = false;
  // The packed lines, compressed or not.
  std::string Data;
};

// The blocks that hold a range of lines: what a reader reads. The open block
// is the newest, still filling and not compressed.
struct TRawBlocks {
  std::deque<std::shared_ptr<const TRawBlock>> Sealed;
  std::string Open;
  std::uint64_t OpenFirst = 0;
  std::uint32_t OpenLines = 0;
  // The lines before this one are gone, although their block may still be held.
  std::uint64_t FirstNumber = 0;

  std::uint64_t EndNumber() const { return OpenFirst + OpenLines; }
};

class TRawLogReader;
class TRawBlockPacker;

class TRawLog {
 public:
  explicit TRawLog(std::size_t lines_kept = kRawLogLinesKept,
                   std::size_t bytes_kept = kRawLogBytesKept);
  ~TRawLog();

  void Add(TRawDirection direction, std::string_view bytes);
  void Add(std::int64_t time, TRawDirection direction, std::string_view bytes);
  // Drops every line; the numbering goes on from where it was.
  void Clear();

  // Lines are numbered from the first one ever added: a line keeps its number
  // while older ones go.
  std::uint64_t FirstNumber() const { return blocks_.FirstNumber; }
  std::uint64_t EndNumber() const { return blocks_.EndNumber(); }
  std::size_t Size() const { return std::size_t(EndNumber() - FirstNumber()); }
  // The line numbered `number`, which must lie in [FirstNumber, EndNumber);
  // its bytes stay valid until the next call. Reading many lines in order is
  // cheaper through a reader of one's own.
  TRawLine Line(std::uint64_t number) const;
  // The memory the kept lines take: their blocks with the unused rest of the
  // open one, and their bookkeeping.
  std::size_t Bytes() const { return bytes_; }

  const TRawBlocks& Blocks() const { return blocks_; }
  // How many sealed blocks wait for their compressed form, which comes in at
  // the next Add, or at TakeCompressed.
  std::size_t BlocksNotCompressed() const;
  void TakeCompressed();
  // The lines kept now, for reading elsewhere while the log goes on: the
  // sealed blocks are shared, the open one copied.
  TRawBlocks Snapshot() const { return blocks_; }

 private:
  void Seal();
  void DropOldestBlock();
  void CountBytes();

  TRawBlocks blocks_;
  std::int64_t open_last_time_ = 0;
  std::size_t sealed_bytes_ = 0;
  std::size_t bytes_ = 0;
  std::size_t lines_kept_;
  std::size_t bytes_kept_;
  std::vector<std::string> spare_;
  std::unique_ptr<TRawBlockPacker> packer_;
  std::unique_ptr<TRawLogReader> line_reader_;
};

}  // namespace rawlog
