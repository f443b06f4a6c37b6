// The raw log on its own: its bounds, how it shows bytes, and its view's
// filter and rows.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <cstdlib>
#include <ctime>

#include "Unit1/raw_log.h"
#include "Unit1/raw_log_view.h"

namespace unit1 {
namespace {

using Lines = std::vector<std::string>;

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

  // Bytes are kept in blocks of 64 KiB: the bound holds whole blocks.
  TRawLog by_bytes(1'000'000, 200'000);
  for (int i = 0; i < 2000; ++i) by_bytes.Add(TRawDirection::rdSent, std::string(1000, char(i)));
  EXPECT_LE(by_bytes.Bytes(), 200'000u);
  EXPECT_GE(by_bytes.Bytes(), 100'000u);
  EXPECT_EQ(by_bytes.EndNumber(), 2000u);
  for (std::uint64_t n = by_bytes.FirstNumber(); n < by_bytes.EndNumber(); ++n) {
    ASSERT_EQ(by_bytes.Line(n).Bytes, std::string(1000, char(n))) << n;
  }

  // A line larger than the whole bound goes in as the newest, and goes at once
  // with everything before it; empty lines take no bytes.
  by_bytes.Add(TRawDirection::rdSent, std::string(300'000, 'y'));
  EXPECT_EQ(by_bytes.Size(), 0u);
  EXPECT_EQ(by_bytes.Bytes(), 0u);
  for (int i = 0; i < 3; ++i) by_bytes.Add(TRawDirection::rdReceived, "");
  EXPECT_EQ(by_bytes.Line(2003).Bytes, "");
  EXPECT_EQ(by_bytes.EndNumber(), 2004u);
}

TEST(RawLog, ShowsEveryByteVisibly) {
  const struct {
    std::string_view bytes;
    std::string shown;
  } cases[] = {
      {"PRIVMSG #a :hi", "PRIVMSG #a :hi"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"\x02"
       "bold\x0F \x03"
       "04red",
       "\xE2\x90\x82"
       "bold\xE2\x90\x8F \xE2\x90\x83"
       "04red"},
      {std::string_view("a\0b", 3),
       "a\xE2\x90\x80"
       "b"},
      {"tab\there\x7F", "tab\xE2\x90\x89here\xE2\x90\xA1"},
      {"\x01"
       "ACTION waves\x01",
       "\xE2\x90\x81"
       "ACTION waves\xE2\x90\x81"},
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

TEST(RawLog, ShowsTheLocalTimeAndTheDirection) {
  const char* old_tz = std::getenv("TZ");
  const std::string saved = old_tz ? old_tz : "";
  setenv("TZ", "UTC", 1);
  tzset();
  // 2026-12-07 13:04:05.007 UTC.
  const std::int64_t time = 1796648645007;
  EXPECT_EQ(ShownRawLine({time, TRawDirection::rdReceived, "PING :x"}), "13:04:05.007 < PING :x");
  EXPECT_EQ(ShownRawLine({time + 993, TRawDirection::rdSent, "PONG x"}), "13:04:06.000 > PONG x");
  EXPECT_EQ(ShownRawLine({time, TRawDirection::rdNote, "Connected"}), "13:04:05.007 - Connected");
  if (old_tz) {
    setenv("TZ", saved.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
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

TEST_F(RawLogViewTest, FilterShowsMatchingLinesIgnoringCaseAndFollowsTheLog) {
  log.Add(TRawDirection::rdSent, "NICK Tolvex");
  log.Add(TRawDirection::rdReceived, ":irc.test PRIVMSG Tolvex :\xC3\x84rger");
  log.Add(TRawDirection::rdReceived, "PING :tolvex-1");
  view.Sync();
  EXPECT_EQ(view.Count(), 3);

  view.SetFilter("TOLVEX");
  EXPECT_EQ(Rows(), (Lines{"> NICK Tolvex", "< :irc.test PRIVMSG Tolvex :\xC3\x84rger",
                           "< PING :tolvex-1"}));
  view.SetFilter("ping");
  EXPECT_EQ(Rows(), Lines{"< PING :tolvex-1"});
  // Beyond ASCII, case is ignored too.
  view.SetFilter(QString::fromUtf8("\xC3\xA4rger"));
  EXPECT_EQ(Rows(), Lines{"< :irc.test PRIVMSG Tolvex :\xC3\x84rger"});
  view.SetFilter("> ");
  EXPECT_EQ(Rows(), Lines{"> NICK Tolvex"}) << "the direction is part of the shown line";

  // New lines that match come; lines the log drops go.
  view.SetFilter("ping");
  for (int i = 0; i < 30; ++i) log.Add(TRawDirection::rdReceived, "PING :" + std::to_string(i));
  view.Sync();
  EXPECT_EQ(view.Count(), 20);
  EXPECT_EQ(Rows().front(), "< PING :10");
  view.SetFilter("");
  EXPECT_EQ(view.Count(), 20);
}

TEST_F(RawLogViewTest, FollowsTheNewestLineUnlessScrolledUp) {
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
}

// Painted or read between a drop and the next Sync, a row whose line is gone
// is empty, not memory the log gave up.
TEST_F(RawLogViewTest, RowsOfDroppedLinesAreEmptyUntilTheyGo) {
  view.show();
  for (int i = 0; i < 20; ++i) log.Add(TRawDirection::rdReceived, std::to_string(i));
  view.Sync();
  view.SetTopIndex(0);
  log.Clear();
  view.repaint();
  EXPECT_EQ(view.ItemText(0), "");
  view.Sync();
  EXPECT_EQ(view.Count(), 0);
}

// A full log: every row reaches assistive technology named as it shows, the
// filter takes all of them at once, and selected rows copy as shown.
TEST(RawLogViewFull, RowsReadAndCopyAsShown) {
  TRawLog log;
  for (std::size_t i = 0; i < kRawLogLinesKept + 10; ++i) {
    log.Add(i % 2 == 0 ? TRawDirection::rdReceived : TRawDirection::rdSent,
            "PRIVMSG #a :line " + std::to_string(i));
  }
  TRawLogView view(log);
  view.resize(400, 200);
  view.show();
  view.Sync();
  ASSERT_EQ(view.Count(), int(kRawLogLinesKept));

  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->role(), QAccessible::List);
  ASSERT_EQ(list->childCount(), view.Count());
  for (const int row : {0, 50'000, view.Count() - 1}) {
    QAccessibleInterface* item = list->child(row);
    ASSERT_NE(item, nullptr) << row;
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_EQ(item->text(QAccessible::Name).toStdString(), view.ItemText(row)) << row;
  }
  EXPECT_TRUE(view.ItemText(0).ends_with(" < PRIVMSG #a :line 10"));

  view.SetFilter("LINE 9999");
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

}  // namespace
}  // namespace unit1
