// The saved lines: every line reads back to its bytes through the escapes.
#include "rawlog/saved_lines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "bytes/byte_escapes.h"
#include "bytes/utf8.h"
#include "rawlog/raw_line_text.h"

namespace rawlog {
namespace {

using namespace std::string_literals;

constexpr std::int64_t kTime = 1796648645007;

std::string EveryByte() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += char(b);
  return bytes;
}

// Every byte value, invalid UTF-8, control bytes, backslashes, and text that
// looks like escapes or control pictures.
std::string LineBytes(std::size_t i) {
  static const std::string pieces[] = {R"(C:\x41 \\ \r)",  "\0\r\n\t\x01\x7F"s,
                                       "\xFF\xFE caf\xE9", "\xE2\x90\x80 \\ \xF0\x9F\x98\x80",
                                       "caf\xC3\xA9",      "",
                                       EveryByte()};
  return "PRIVMSG #a :" + std::to_string(i) + " " + pieces[i % std::size(pieces)];
}

TRawDirection DirectionOf(std::size_t i) {
  constexpr TRawDirection kDirections[] = {TRawDirection::rdReceived, TRawDirection::rdSent,
                                           TRawDirection::rdSentBytes, TRawDirection::rdNote};
  return kDirections[i % std::size(kDirections)];
}

// The lines as saved, into a string; the write after `pieces_that_go` fails.
struct Written {
  TSavedLines Saved;
  std::string Text;
  std::size_t Pieces = 0;
};
Written Save(const TRawBlocks& blocks, bool cancelled = false,
             std::size_t pieces_that_go = SIZE_MAX) {
  Written out;
  TRawLineFilter filter;
  std::atomic<std::size_t> looked_at = 0;
  const std::atomic<bool> cancel = cancelled;
  const auto write = [&](std::string_view piece) {
    out.Text += piece;
    return out.Pieces++ < pieces_that_go;
  };
  out.Saved = WriteSavedLines(blocks, filter, write, looked_at, cancel);
  EXPECT_TRUE(out.Saved.End != TSavedLines::seWritten ||
              looked_at == blocks.EndNumber() - blocks.FirstNumber);
  return out;
}

TEST(SavedLines, EveryLineReadsBackToItsBytes) {
  constexpr std::size_t kLines = 100'000;
  TRawLog log;
  for (std::size_t i = 0; i < kLines; ++i) {
    log.Add(kTime + std::int64_t(i), DirectionOf(i), LineBytes(i));
  }
  const TRawBlocks blocks = log.Snapshot();
  // The log goes on, and lets its blocks go, while they are written.
  log.Clear();
  const Written written = Save(blocks);
  ASSERT_EQ(written.Saved.End, TSavedLines::seWritten);
  EXPECT_EQ(written.Saved.Lines, kLines);
  EXPECT_GT(written.Pieces, 1u);
  EXPECT_TRUE(bytes::IsValidUtf8(written.Text));

  std::istringstream content(written.Text);
  std::size_t i = 0;
  for (std::string saved; std::getline(content, saved); ++i) {
    ASSERT_LT(i, kLines);
    const TRawLine line{kTime + std::int64_t(i), DirectionOf(i), {}};
    // Time and direction as the pane shows them, then the escaped bytes.
    ASSERT_EQ(saved.substr(0, 15), ShownRawLine(line).substr(0, 15)) << i;
    ASSERT_EQ(saved.find_first_of("\r\t\x7F"s + '\0'), std::string::npos) << i;
    const bytes::TUnescapedBytes read = bytes::UnescapeBytes(std::string_view(saved).substr(15));
    ASSERT_TRUE(read.Ok()) << i << ": " << saved;
    ASSERT_EQ(read.Bytes, LineBytes(i)) << i << ": " << saved;
  }
  EXPECT_EQ(i, kLines);
}

// A cancel or a failed write stops it with the lines written so far.
TEST(SavedLines, StopsWhenToldOrWhenAWriteFails) {
  TRawLog log;
  for (std::size_t i = 0; i < 30'000; ++i) log.Add(kTime, DirectionOf(i), LineBytes(i));
  const Written cancelled = Save(log.Blocks(), true);
  EXPECT_EQ(cancelled.Saved.End, TSavedLines::seCancelled);
  EXPECT_EQ(cancelled.Pieces, 0u);

  const Written failed = Save(log.Blocks(), false, 1);
  EXPECT_EQ(failed.Saved.End, TSavedLines::seFailed);
  EXPECT_EQ(failed.Pieces, 2u) << "stops at the first that fails";
  EXPECT_LT(failed.Saved.Lines, log.Size());
}

}  // namespace
}  // namespace rawlog
