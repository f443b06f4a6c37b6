// The log pane and the names list: every log line shows, empty ones included,
// the newest lines stay with the view on the last one, and the names list keeps
// the plain sorted list's order through adds, removals and renames, also once a
// rename has put it out of order, and its view keeps the user's selection and
// scroll position while names come and go.
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTextBlock>
#include <random>

#include "Unit1/name_sequence.h"
#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

// The pane keeps the newest lines, from batches longer than the bound, from
// batches that push shown lines out, and from single lines, empty ones too, and
// stays on the newest; held lines show only together.
TEST(LogPane, KeepsTheNewestLinesAndFollowsThem) {
  TLogPane pane;
  pane.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
  const auto hold_batch = [&](int first, int count, bool numbered) {
    pane.HoldLines();
    for (int i = first; i < first + count; ++i) pane.AppendLine(numbered ? std::to_string(i) : "");
  };
  const auto expect_shown = [&](const char* first, const char* last) {
    EXPECT_EQ(pane.document()->blockCount(), kLogLinesKept);
    EXPECT_EQ(pane.document()->firstBlock().text(), first);
    EXPECT_EQ(pane.document()->lastBlock().text(), last);
    EXPECT_EQ(pane.verticalScrollBar()->value(), pane.verticalScrollBar()->maximum());
  };
  hold_batch(0, kLogLinesKept + 5, true);
  EXPECT_EQ(pane.toPlainText(), "") << "held until the notification ends";
  pane.ShowHeldLines();
  expect_shown("5", "10004");
  for (const int first : {kLogLinesKept + 5, kLogLinesKept + 6005}) {
    hold_batch(first, 6000, true);
    pane.ShowHeldLines();
  }
  expect_shown("12005", "22004");
  // A batch as long as the bound replaces every shown line, empty ones too.
  hold_batch(0, kLogLinesKept, false);
  pane.ShowHeldLines();
  EXPECT_EQ(pane.toPlainText(), QString(kLogLinesKept - 1, '\n'));
  hold_batch(7, 1, true);
  pane.ShowHeldLines();
  expect_shown("", "7");
  pane.AppendLine("");
  expect_shown("", "");
  pane.clear();
  pane.AppendLine("");
  pane.AppendLine("");
  EXPECT_EQ(pane.toPlainText(), "\n");
}

// Lines held during a read show by themselves, soon after the previous ones:
// at once, or when the interval has passed.
TEST(LogPane, HeldLinesShowByThemselvesInOrder) {
  TLogPane pane;
  pane.AppendLine("first");
  for (int batch = 0; batch < 3; ++batch) {
    pane.HoldLines();
    pane.AppendLine(std::to_string(batch));
    pane.EndHold();
  }
  EXPECT_TRUE(WaitUntil([&] { return !pane.HasHeldLines(); }));
  EXPECT_EQ(pane.toPlainText(), "first\n0\n1\n2");
  // Nor does a hold that nothing ends keep them.
  pane.HoldLines();
  pane.AppendLine("last");
  EXPECT_TRUE(WaitUntil([&] { return !pane.HasHeldLines(); }));
  EXPECT_EQ(pane.document()->lastBlock().text(), "last");
}

// IRC formatting shows as character formats and never as codes; a control
// character shows as its picture; typed text and copied text stay plain.
TEST(LogPane, ShowsFormattingAsCharacterFormats) {
  TLogPane pane;
  pane.AppendLine("plain before");
  pane.HoldLines();
  pane.AppendLine("bell\x07 here");
  pane.AppendLine(
      "\x02"
      "bold\x02 \x03"
      "04,12red on blue\x0F \x1Ditalic\x1D \x1Funder\x16rev");
  pane.ShowHeldLines();
  pane.AppendLine("plain after");
  EXPECT_EQ(pane.toPlainText(),
            "plain before\nbell\u2407 here\nbold red on blue italic underrev\nplain after");

  const auto format_at = [&](const QString& text) {
    return pane.ShownFormatAt(int(pane.toPlainText().indexOf(text)) + 1);
  };
  EXPECT_EQ(format_at("bold").fontWeight(), QFont::Bold);
  EXPECT_EQ(format_at("red").foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(format_at("red").background().color(), QColor(0, 0, 252));
  EXPECT_FALSE(format_at("red").fontWeight() == QFont::Bold) << "reset";
  EXPECT_TRUE(format_at("italic").fontItalic());
  EXPECT_TRUE(format_at("under").fontUnderline());
  EXPECT_EQ(format_at("rev").foreground().color(), pane.palette().color(QPalette::Base));
  for (const char* plain : {"plain before", "plain after"}) {
    EXPECT_EQ(format_at(plain).foreground().style(), Qt::NoBrush) << plain;
    EXPECT_EQ(format_at(plain).background().style(), Qt::NoBrush) << plain;
  }

  QTextCursor end(pane.document());
  end.movePosition(QTextCursor::End);
  end.movePosition(QTextCursor::Up);
  end.movePosition(QTextCursor::EndOfLine);
  pane.setTextCursor(end);
  QTest::keyClicks(&pane, "typed");
  EXPECT_EQ(format_at("typed").foreground().style(), Qt::NoBrush);
  EXPECT_NE(format_at("typed").fontWeight(), QFont::Bold);

  pane.selectAll();
  pane.copy();
  EXPECT_EQ(QApplication::clipboard()->text(), pane.toPlainText());
}

// The list as the window first kept it: a walk to the first entry that sorts
// after the new one, the first equal entry removed, every equal one renamed.
struct PlainNames {
  std::vector<std::string> nicks;

  void Add(const std::string& nick) {
    const QString shown = QString::fromStdString(nick);
    nicks.insert(std::find_if(nicks.begin(), nicks.end(),
                              [&](const std::string& listed) {
                                return QString::compare(QString::fromStdString(listed), shown,
                                                        Qt::CaseInsensitive) > 0;
                              }),
                 nick);
  }
  bool Remove(const std::string& nick) {
    const auto found = std::find(nicks.begin(), nicks.end(), nick);
    if (found == nicks.end()) return false;
    nicks.erase(found);
    return true;
  }
  int Rename(const std::string& from, const std::string& to) {
    const auto renamed = std::count(nicks.begin(), nicks.end(), from);
    std::replace(nicks.begin(), nicks.end(), from, to);
    return int(renamed);
  }
};

TEST(NameSequence, KeepsThePlainListsOrderThroughAnyChanges) {
  // Few distinct names, differing in case too, so that equal and alike names
  // meet; many operations, so that chunks split and empty.
  std::vector<std::string> pool = {"al",  "Al", "bo",  "BO",  "cy", "dee", "Eve", "eve",
                                   "[x]", "_z", "zed", "Zed", "m",  "n",   "o",   "p"};
  // Alike beyond ASCII too: "été" and "ÉTÉ".
  pool.insert(pool.end(), {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89"});
  for (const unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 random(seed);
    const auto any_nick = [&] {
      return pool[random() % pool.size()] + std::to_string(random() % 40);
    };
    PlainNames plain;
    TNameSequence names;
    // The first half never renames, so the bisecting path is exercised alone.
    for (int step = 0; step < 6000; ++step) {
      const std::string nick = any_nick();
      const std::string other = any_nick();
      const unsigned kind = random() % 10;
      if (kind < 4) {
        plain.Add(nick);
        names.Add(nick);
      } else if (kind < 6) {
        const bool absent = std::count(plain.nicks.begin(), plain.nicks.end(), nick) == 0;
        if (absent) plain.Add(nick);
        ASSERT_EQ(names.AddIfAbsent(nick), absent);
      } else if (kind < 9) {
        ASSERT_EQ(names.RemoveFirst(nick), plain.Remove(nick));
      } else if (step > 3000) {
        ASSERT_EQ(names.Rename(nick, other), plain.Rename(nick, other));
      }
      ASSERT_EQ(names.Size(), int(plain.nicks.size()));
    }
    for (int row = 0; row < names.Size(); ++row) {
      ASSERT_EQ(names.At(row), plain.nicks[std::size_t(row)]) << "row " << row;
    }
  }
}

// A burst of names reaches the view, which then keeps the user's selection and
// scroll position while names come and go.
TEST_F(FormTest, TheNamesViewKeepsTheSelectionAndScrollWhileNamesComeAndGo) {
  JoinChannel();
  // 3000 names, in replies of 300 names each.
  Lines replies;
  for (int i = 1000; i < 4000; i += 300) {
    std::string names;
    for (int k = i; k < i + 300; ++k) names += " n" + std::to_string(k);
    replies.push_back(":irc.test 353 Tolvex = #beginner :" + names.substr(1));
  }
  Deliver(replies);
  ASSERT_EQ(form_.lbNames->count(), 3000);
  QAbstractItemModel* model = form_.lbNames->model();
  ASSERT_TRUE(WaitUntil([&] { return model->rowCount() == 3000; }));
  EXPECT_EQ(model->index(2, 0).data().toString(), "n1002");
  QScrollBar* bar = form_.lbNames->verticalScrollBar();
  ASSERT_TRUE(WaitUntil([&] { return bar->maximum() > 100; }));
  form_.lbNames->setCurrentIndex(model->index(1500, 0));
  bar->setValue(100);
  int resets = 0;
  QObject::connect(model, &QAbstractItemModel::modelReset, [&] { ++resets; });

  // Names before and after the selected one come, go and are renamed.
  Deliver({":a1!u@h JOIN :#beginner", ":z9!u@h JOIN :#beginner", ":n1000!u@h PART #beginner",
           ":n3999!u@h PART #beginner", ":n2501!u@h NICK :m2501"});
  ASSERT_TRUE(WaitUntil([&] { return model->index(0, 0).data().toString() == "a1"; }));
  QCoreApplication::processEvents();
  const QModelIndexList selected = form_.lbNames->selectionModel()->selectedIndexes();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected.front().data().toString(), "n2500");
  EXPECT_EQ(form_.lbNames->currentIndex().data().toString(), "n2500");
  EXPECT_EQ(bar->value(), 100);
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(model->index(2999, 0).data().toString(), "z9");

  // Leaving the channel starts the list afresh.
  form_.lbNames->clear();
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(resets, 1);
}

}  // namespace
}  // namespace unit1
