// The raw log in the window: the view's rows and filter, and a cancelled save,
// which leaves the file that was there.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Unit1/raw_log_save.h"
#include "Unit1/raw_log_view.h"
#include "rawlog/raw_log.h"
#include "tests/support/wait_until.h"

namespace unit1 {
namespace {

using rawlog::TRawDirection;
using rawlog::TRawLog;
using Lines = std::vector<std::string>;

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
  log.Add(TRawDirection::rdReceived, "PRIVMSG #a :\xC3\x84rger");
  view.Sync();
  EXPECT_EQ(view.Count(), 3);
  // Beyond ASCII, case is ignored as Qt ignores it.
  view.SetFilter(QString::fromUtf8("\xC3\xA4RGER"));
  EXPECT_EQ(Rows(), Lines{"< PRIVMSG #a :\xC3\x84rger"});
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
  std::atomic<std::size_t> written = 0;
  const std::atomic<bool> cancel = true;
  EXPECT_EQ(WriteRawLines(lines, path, written, cancel).Kind, TSaveOutcome::skCancelled);
  QFile after(path);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), "kept\n");
}

}  // namespace
}  // namespace unit1
