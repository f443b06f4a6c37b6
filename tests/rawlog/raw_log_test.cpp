// The raw log's store: its bounds, every line read back from any line on, a
// damaged block refused; a line as shown, and the filter over the shown line.
#include "rawlog/raw_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "rawlog/raw_line_text.h"
#include "rawlog/raw_log_block.h"
#include "rawlog/raw_log_filter.h"
#include "rawlog/raw_log_reader.h"

namespace rawlog {
namespace {

// 2026-12-07 13:04:05.007 UTC.
constexpr std::int64_t kTime = 1796648645007;

TEST(RawLog, KeepsTheNewestLinesWithinBothBounds) {
  TRawLog by_lines(3, 1 << 20);
  for (int i = 0; i < 5; ++i) by_lines.Add(TRawDirection::rdReceived, std::to_string(i));
  EXPECT_EQ(by_lines.Size(), 3u);
  EXPECT_EQ(by_lines.FirstNumber(), 2u) << "lines keep their numbers while older ones go";
  EXPECT_EQ(by_lines.Line(2).Bytes, "2");
  EXPECT_EQ(by_lines.Line(4).Bytes, "4");

  // Lines that do not compress: the bound on memory holds, in whole blocks.
  std::mt19937 random(3);
  const auto noise = [&](std::size_t size) {
    std::string bytes(size, ' ');
    for (char& c : bytes) c = char(random());
    return bytes;
  };
  TRawLog by_bytes(1'000'000, 300'000);
  std::vector<std::string> added;
  for (int i = 0; i < 2000; ++i) {
    added.push_back(noise(1000));
    by_bytes.Add(TRawDirection::rdSent, added.back());
  }
  EXPECT_LE(by_bytes.Bytes(), 300'000u);
  EXPECT_GE(by_bytes.Size(), 100u);
  EXPECT_EQ(by_bytes.EndNumber(), 2000u);
  // Whole lines, the newest, keep their numbers (every line reads back below).
  EXPECT_EQ(by_bytes.Line(by_bytes.FirstNumber()).Bytes, added[by_bytes.FirstNumber()]);
  EXPECT_EQ(by_bytes.Line(1999).Bytes, added.back());

  // A line larger than the whole bound goes with everything before it; empty
  // lines are kept too.
  by_bytes.Add(TRawDirection::rdSent, noise(400'000));
  EXPECT_EQ(by_bytes.Size(), 0u);
  EXPECT_LE(by_bytes.Bytes(), 300'000u);
  for (int i = 0; i < 3; ++i) by_bytes.Add(TRawDirection::rdReceived, "");
  EXPECT_EQ(by_bytes.Line(2003).Bytes, "");
  EXPECT_EQ(by_bytes.EndNumber(), 2004u);
}

// Lines read back as they went in, from any line on, in sealed blocks and in
// the open one, while the log seals and drops blocks between the reads.
TEST(RawLog, ReadsBackEveryLineFromAnyLineOn) {
  TRawLog log(5000, 1 << 20);
  const auto bytes_of = [](std::uint64_t n) {
    return std::string(n % 300, char('a' + n % 26)) + std::to_string(n);
  };
  const auto time_of = [](std::uint64_t n) { return kTime + std::int64_t(n % 7) * 1000 - 3000; };
  TRawLogReader reader(log.Blocks());
  TRawLine line;
  for (std::uint64_t n = 0; n < 20'000; ++n) {
    log.Add(time_of(n), n % 3 == 0 ? TRawDirection::rdSent : TRawDirection::rdReceived,
            bytes_of(n));
    if (n % 997 != 0) continue;
    for (const std::uint64_t from : {log.FirstNumber(), n - n % 500, n}) {
      reader.Seek(from);
      for (std::uint64_t m = std::max(from, log.FirstNumber()); m <= n; ++m) {
        ASSERT_TRUE(reader.Next(line)) << m;
        ASSERT_EQ(line.Bytes, bytes_of(m)) << m;
        ASSERT_EQ(line.Time, time_of(m)) << m;
        ASSERT_EQ(line.Direction, m % 3 == 0 ? TRawDirection::rdSent : TRawDirection::rdReceived);
      }
      ASSERT_FALSE(reader.Next(line));
    }
  }
  EXPECT_EQ(log.Size(), 5000u);
  reader.Seek(0);
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(reader.Number(), log.FirstNumber() + 1) << "a line gone reads as the oldest kept";
}

// A block whose records do not fit it (here a length beyond its end) is
// refused, not read beyond.
TEST(RawLogReader, RefusesADamagedBlock) {
  auto block = std::make_shared<TRawBlock>(TRawBlock{0, 1, 0, false, {}});
  raw_block::AppendRecord(5, TRawDirection::rdSent, "PING :x", block->Data);
  block->Data[2] = 8;
  const TRawBlocks blocks{{block}, {}, 1, 0, 0};
  TRawLogReader reader(blocks);
  TRawLine line;
  EXPECT_THROW(reader.Next(line), std::runtime_error);
}

// A line shows with its local time and direction; the filter looks in the line
// as shown, whether it takes the short way through plain bytes or shows the line
// first.
TEST(RawLineFilter, MatchesTheShownLineIgnoringCase) {
  // The shown times in UTC, whatever the machine's zone; no other test here
  // depends on the zone.
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(ShownRawLine({kTime, TRawDirection::rdReceived, "PING :x"}), "13:04:05.007 < PING :x");
  EXPECT_EQ(ShownRawLine({kTime + 993, TRawDirection::rdSent, "PONG x"}), "13:04:06.000 > PONG x");
  EXPECT_EQ(ShownRawLine({kTime, TRawDirection::rdNote, "Connected"}), "13:04:05.007 - Connected");
  const struct {
    std::string_view bytes;
    const char* filter;
    bool matches;
  } cases[] = {
      {"PRIVMSG #a :Seen That", "seen that", true},
      {"PRIVMSG #a :seen", "SEEN THAT", false},
      {"PING :x", "05.007 < pi", true},
      {"PING :x", "7 < PING :x", true},
      {"PING :x", "> PING", false},
      {"a\001b", "ab", false},
      {"a\\b", "a\\\\b", true},
      {"a\\b", "a\\b", false},
      {"caf\xE9", "caf\\xe9", true},
      {"caf\xE9", "xe9", true},
      {"tab\there", "tabhere", false},
      {"", "< ", true},
  };
  for (const auto& c : cases) {
    TRawLineFilter filter{c.filter};
    EXPECT_EQ(filter.Matches({kTime, TRawDirection::rdReceived, c.bytes}), c.matches)
        << c.bytes << " / " << c.filter;
  }
}

// Beyond ASCII, the shown line goes to the owner's case folding as a whole.
TEST(RawLineFilter, AsksTheOwnersFoldingBeyondAscii) {
  std::string asked;
  TRawLineFilter filter("\xC3\xA4", [&](std::string_view shown) {
    asked = shown;
    return shown.ends_with("\xC3\x84rger\u2401");
  });
  EXPECT_TRUE(filter.Matches({kTime, TRawDirection::rdReceived, "\xC3\x84rger\001"})) << asked;
  EXPECT_FALSE(filter.Matches({kTime, TRawDirection::rdSent, "x"}));
}

}  // namespace
}  // namespace rawlog
