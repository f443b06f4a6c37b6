// The raw log on its own: its bounds, how it shows bytes, and its view's
// filter and rows.
#include <gtest/gtest.h>

#include <QApplication>
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

  const std::string line(1000, 'x');
  TRawLog by_bytes(1000, 10'000);
  for (int i = 0; i < 100; ++i) by_bytes.Add(TRawDirection::rdSent, line);
  EXPECT_LE(by_bytes.Bytes(), 10'000u);
  EXPECT_GE(by_bytes.Size(), 8u);
  EXPECT_LE(by_bytes.Size(), 9u);
  EXPECT_EQ(by_bytes.EndNumber(), 100u);

  // A line larger than the whole bound still goes in: it is the newest.
  by_bytes.Add(TRawDirection::rdSent, std::string(20'000, 'y'));
  EXPECT_EQ(by_bytes.Size(), 0u) << "and goes at once, with everything before it";
  EXPECT_EQ(by_bytes.EndNumber(), 101u);
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

}  // namespace
}  // namespace unit1
