// The saved lines, written in pieces of a fixed size.
#include "rawlog/saved_lines.h"

#include <string>

#include "rawlog/raw_line_text.h"
#include "rawlog/raw_log_reader.h"

namespace rawlog {

namespace {

// Lines are written in pieces of about this size.
constexpr std::size_t kWriteChunkBytes = 256 * 1024;

}  // namespace

TSavedLines WriteSavedLines(const TRawBlocks& blocks, TRawLineFilter& filter,
                            const TWritePiece& write, std::atomic<std::size_t>& looked_at,
                            const std::atomic<bool>& cancel) {
  TRawLogReader reader(blocks);
  reader.Seek(blocks.FirstNumber);
  TSavedLines saved;
  std::string chunk;
  TRawLine line;
  for (bool more = reader.Next(line); more;) {
    if (filter.Matches(line)) {
      chunk += SavedRawLine(line);
      chunk += '\n';
      ++saved.Lines;
    }
    more = reader.Next(line);
    if (chunk.size() < kWriteChunkBytes && more) continue;
    if (cancel) return {TSavedLines::seCancelled, saved.Lines};
    if (!write(chunk)) return {TSavedLines::seFailed, saved.Lines};
    chunk.clear();
    looked_at = std::size_t(reader.Number() - blocks.FirstNumber);
  }
  return saved;
}

}  // namespace rawlog
