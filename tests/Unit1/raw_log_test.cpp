// The raw log on its own: its bounds, how it shows bytes, its view's filter and
// rows, and writing it to a file, where every line reads back to its bytes and a
// cancelled save leaves the file that was there.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>

#include "Unit1/byte_escapes.h"
#include "Unit1/raw_log.h"
#include "Unit1/raw_log_filter.h"
#include "Unit1/raw_log_reader.h"
#include "Unit1/raw_log_save.h"
#include "Unit1/raw_log_view.h"
#include "platform/toolkit/utf8.h"
#include "tests/support/wait_until.h"

namespace unit1 {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

// 2026-12-07 13:04:05.007 UTC.
constexpr std::int64_t kTime = 1796648645007;

std::string Visible(std::string_view bytes) {
  std::string shown;
  AppendVisibleBytes(bytes, shown);
  return shown;
}

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

TEST(RawLog, ShowsEveryByteVisibly) {
  const struct {
    std::string_view bytes;
    std::string shown;
  } cases[] = {
      {"PRIVMSG #a :hi", "PRIVMSG #a :hi"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"\002bold\017 \00304red", "\u2402bold\u240F \u240304red"},
      {std::string_view("a\0b", 3), "a\u2400b"},
      {"tab\there\x7F", "tab\u2409here\u2421"},
      {"\001ACTION waves\001", "\u2401ACTION waves\u2401"},
      {"latin1 caf\xE9!", "latin1 caf\\xE9!"},
      {"cut \xE2\x82", "cut \\xE2\\x82"},
      {"\xC0\xAF overlong", "\\xC0\\xAF overlong"},
      {"\xFF\xFE", "\\xFF\\xFE"},
      // Read back, a shown line gives its bytes: a backslash is doubled, and
      // a control picture the line holds itself is no control character.
      {"C:\\x41", "C:\\\\x41"},
      {"\xE2\x90\x82 \xE2\x90\xA1", "\\xE2\\x90\\x82 \\xE2\\x90\\xA1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Visible(c.bytes), c.shown) << c.shown;
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
      {"x", "\xC3\xA4", false},
      {"\xC3\x84rger", "\xC3\xA4RGER", true},
  };
  for (const auto& c : cases) {
    TRawLineFilter filter{QString::fromUtf8(c.filter)};
    EXPECT_EQ(filter.Matches({kTime, TRawDirection::rdReceived, c.bytes}), c.matches)
        << c.bytes << " / " << c.filter;
  }
}

class RawLogViewTest : public testing::Test {
 protected:
  RawLogViewTest() : log(20, 1 << 20), view(log) { view.resize(400, 200); }

  Lines Rows() const {
    Lines rows;
    for (int i = 0; i < view.Count(); ++i) rows.push_back(view.ItemText(i).substr(13));
    return rows;
  }

  TRawLog log;
  TRawLogView view;
};

// What matches is in the filter's own table above.
TEST_F(RawLogViewTest, FilterShowsMatchingLinesAndFollowsTheLog) {
  log.Add(TRawDirection::rdSent, "NICK Tolvex");
  log.Add(TRawDirection::rdReceived, "PING :tolvex-1");
  view.Sync();
  EXPECT_EQ(view.Count(), 2);
  view.SetFilter("ping");
  EXPECT_EQ(Rows(), Lines{"< PING :tolvex-1"});

  // New lines that match come; lines the log drops go.
  for (int i = 0; i < 30; ++i) log.Add(TRawDirection::rdReceived, "PING :" + std::to_string(i));
  view.Sync();
  EXPECT_EQ(view.Count(), 20);
  EXPECT_EQ(Rows().front(), "< PING :10");
  view.SetFilter("");
  EXPECT_EQ(view.Count(), 20);
}

TEST_F(RawLogViewTest, FollowsTheNewestLineUnlessScrolledUpAndDroppedRowsAreEmpty) {
  view.show();
  for (int i = 0; i < 20; ++i) log.Add(TRawDirection::rdReceived, std::to_string(i));
  view.Sync();
  const int rows_in_view = view.viewport()->height() / view.ItemHeight();
  ASSERT_LT(rows_in_view, 20);
  EXPECT_EQ(view.TopIndex(), 20 - rows_in_view);

  view.SetTopIndex(0);
  for (int i = 0; i < 5; ++i) log.Add(TRawDirection::rdReceived, "more");
  view.Sync();
  EXPECT_EQ(view.TopIndex(), 0) << "a reader of older lines is not taken to the newest";

  // Painted or read between a drop and the next Sync, a row whose line is gone
  // is empty, not memory the log gave up.
  log.Clear();
  view.repaint();
  EXPECT_EQ(view.ItemText(0), "");
  view.Sync();
  EXPECT_EQ(view.Count(), 0);
}

// A full log: every row reaches assistive technology named as it shows, the
// filter looks through all of them a slice at a time, and selected rows copy
// as shown.
TEST(RawLogViewFull, RowsReadAndCopyAsShown) {
  constexpr std::size_t kLinesKept = 100'000;
  TRawLog log(kLinesKept);
  for (std::size_t i = 0; i < kLinesKept + 10; ++i) {
    log.Add(i % 2 == 0 ? TRawDirection::rdReceived : TRawDirection::rdSent,
            "PRIVMSG #a :line " + std::to_string(i));
  }
  TRawLogView view(log);
  view.resize(400, 200);
  view.show();
  view.Sync();
  ASSERT_EQ(view.Count(), int(kLinesKept));

  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->childCount(), view.Count());
  for (const int row : {0, 50'000, view.Count() - 1}) {
    QAccessibleInterface* item = list->child(row);
    ASSERT_NE(item, nullptr) << row;
    EXPECT_EQ(item->text(QAccessible::Name).toStdString(), view.ItemText(row)) << row;
  }
  EXPECT_TRUE(view.ItemText(0).ends_with(" < PRIVMSG #a :line 10"));

  view.SetFilter("LINE 9999");
  EXPECT_TRUE(view.Searching()) << "a full log is looked through a slice at a time";
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !view.Searching(); }));
  EXPECT_EQ(view.Count(), 11) << "9999 and 99990 to 99999";
  EXPECT_EQ(list->childCount(), 11);

  view.setFocus();
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  const QStringList copied = QApplication::clipboard()->text().split('\n');
  ASSERT_EQ(copied.size(), 11);
  EXPECT_EQ(copied.front().toStdString(), view.ItemText(0));
  EXPECT_TRUE(copied.back().endsWith(" > PRIVMSG #a :line 99999"));
}

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

TSaveOutcome Write(const TRawLinesToSave& lines, const QString& path, bool cancelled = false) {
  std::atomic<std::size_t> written = 0;
  const std::atomic<bool> cancel = cancelled;
  return WriteRawLines(lines, path, written, cancel);
}

TEST(RawLogSave, EveryLineReadsBackToItsBytes) {
  constexpr std::size_t kLines = 100'000;
  TRawLog log;
  for (std::size_t i = 0; i < kLines; ++i) {
    log.Add(kTime + std::int64_t(i), DirectionOf(i), LineBytes(i));
  }
  const TRawLinesToSave lines{log.Snapshot(), {}};
  // The log goes on, and lets its blocks go, while the file is written.
  log.Clear();
  QTemporaryDir dir;
  const QString path = dir.filePath("raw.log");
  const TSaveOutcome outcome = Write(lines, path);
  ASSERT_EQ(outcome.Kind, TSaveOutcome::skSaved) << outcome.Error.toStdString();
  EXPECT_EQ(outcome.Lines, kLines);

  std::ifstream file(path.toStdString(), std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_TRUE(toolkit::IsValidUtf8(content.str()));
  std::size_t i = 0;
  for (std::string saved; std::getline(content, saved); ++i) {
    ASSERT_LT(i, kLines);
    const TRawLine line{kTime + std::int64_t(i), DirectionOf(i), {}};
    // Time and direction as the pane shows them, then the escaped bytes.
    ASSERT_EQ(saved.substr(0, 15), ShownRawLine(line).substr(0, 15)) << i;
    ASSERT_EQ(saved.find_first_of("\r\t\x7F"s + '\0'), std::string::npos) << i;
    const TUnescapedBytes read = UnescapeBytes(std::string_view(saved).substr(15));
    ASSERT_TRUE(read.Ok()) << i << ": " << saved;
    ASSERT_EQ(read.Bytes, LineBytes(i)) << i << ": " << saved;
  }
  EXPECT_EQ(i, kLines);
}

TEST(RawLogSave, CancelledLeavesTheFileThatWasThere) {
  TRawLog log;
  log.Add(0, TRawDirection::rdReceived, "PING :x");
  const TRawLinesToSave lines{log.Snapshot(), {}};
  QTemporaryDir dir;
  const QString path = dir.filePath("raw.log");
  QFile before(path);
  ASSERT_TRUE(before.open(QIODevice::WriteOnly));
  before.write("kept\n");
  before.close();
  EXPECT_EQ(Write(lines, path, true).Kind, TSaveOutcome::skCancelled);
  QFile after(path);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), "kept\n");
}

}  // namespace
}  // namespace unit1
