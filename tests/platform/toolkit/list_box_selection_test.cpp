// The list host's selection: runs of rows that merge, split and follow rows
// that go, keys and clicks as lists select, and the copy of the selected rows.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "platform/toolkit/list_box.h"
#include "platform/toolkit/list_item_accessible.h"
#include "platform/toolkit/row_selection.h"
#include "tests/support/wait_until.h"

namespace {

using toolkit::TRowSelection;
using Runs = std::vector<TRowSelection::Run>;

// One change to the selection: Add(a, b), Remove(a, b), Toggle(a) or RowsRemoved(a, b).
struct TChange {
  char what;  // + - ~ or x
  int a;
  int b = 0;
};

TEST(RowSelection, KeepsSortedRunsThatNeverTouchAndContainsTheirRowsOnly) {
  const std::tuple<const char*, std::vector<TChange>, Runs> cases[] = {
      {"reversed range", {{'+', 7, 3}}, {{3, 7}}},
      {"touching runs merge", {{'+', 0, 2}, {'+', 3, 4}}, {{0, 4}}},
      {"overlap spans three", {{'+', 0, 1}, {'+', 5, 6}, {'+', 9, 9}, {'+', 1, 8}}, {{0, 9}}},
      {"apart stay apart", {{'+', 8, 9}, {'+', 0, 1}, {'+', 4, 5}}, {{0, 1}, {4, 5}, {8, 9}}},
      {"remove splits", {{'+', 0, 9}, {'-', 3, 5}}, {{0, 2}, {6, 9}}},
      {"remove across runs", {{'+', 0, 2}, {'+', 5, 7}, {'-', 1, 6}}, {{0, 0}, {7, 7}}},
      {"toggle off then on", {{'+', 0, 4}, {'~', 2}, {'~', 4}, {'~', 2}}, {{0, 3}}},
      {"gone rows shift later runs", {{'+', 10, 12}, {'x', 0, 4}}, {{6, 8}}},
      {"gone rows take their selection", {{'+', 2, 6}, {'x', 0, 4}}, {{0, 2}}},
      {"runs either side of a gap join", {{'+', 0, 3}, {'+', 6, 8}, {'x', 4, 2}}, {{0, 6}}},
      {"rows after the selection go", {{'+', 0, 1}, {'x', 5, 100}}, {{0, 1}}},
  };
  for (const auto& [name, changes, expected] : cases) {
    TRowSelection selection;
    for (const TChange& change : changes) {
      if (change.what == '+') selection.Add(change.a, change.b);
      if (change.what == '-') selection.Remove(change.a, change.b);
      if (change.what == '~') selection.Toggle(change.a);
      if (change.what == 'x') selection.RowsRemoved(change.a, change.b);
    }
    EXPECT_EQ(selection.Runs(), expected) << name;
    for (int row = 0; row < 14; ++row) {
      const bool in_run = std::any_of(expected.begin(), expected.end(), [row](const auto& run) {
        return run.First <= row && row <= run.Last;
      });
      EXPECT_EQ(selection.Contains(row), in_run) << name << ", row " << row;
    }
  }
}

// Copies differently from how it reads, as the chat list does.
class CopyingListBox : public toolkit::TListBox {
 public:
  std::string ItemCopyText(int index) const override { return "copy of " + Item(index); }
};

// Rows without strings, as a pane that keeps its rows itself has them.
class RowsListBox : public toolkit::TListBox {
 public:
  using toolkit::TListBox::AppendRows;
  using toolkit::TListBox::DropFirstRows;
  std::string ItemText(int index) const override { return "row " + std::to_string(index); }
};

class ListBoxSelectionTest : public testing::Test {
 protected:
  void SetUp() override {
    // Every row in view, where the clicks land.
    box.resize(200, 400);
    box.show();
    for (int i = 0; i < 20; ++i) box.AddItem("item " + std::to_string(i));
    box.setFocus();
  }

  void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const toolkit::TRect rect = box.ItemRect(row);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, modifiers,
                      QPoint(5, (rect.Top + rect.Bottom) / 2));
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&box, Qt::Key(key), modifiers);
  }

  CopyingListBox box;
};

enum TAction { kClick, kKey, kSetIndex, kDelete };
struct TStep {
  TAction action;
  int value;  // a row or a key
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier, kCtrl = Qt::ControlModifier;

TEST_F(ListBoxSelectionTest, KeysAndClicksSelectAsListsDo) {
  const std::tuple<const char*, std::vector<TStep>, Runs, int> cases[] = {
      {"click", {{kClick, 3}}, {{3, 3}}, 3},
      {"shift-click extends from the anchor",
       {{kClick, 3}, {kClick, 6, kShift}, {kClick, 1, kShift}},
       {{1, 3}},
       1},
      {"ctrl-click adds and takes away",
       {{kClick, 3}, {kClick, 5, kCtrl}, {kClick, 7, kCtrl}, {kClick, 3, kCtrl}},
       {{5, 5}, {7, 7}},
       3},
      {"ctrl+shift-click adds a range",
       {{kClick, 1}, {kClick, 4, kCtrl}, {kClick, 6, kShift | kCtrl}},
       {{1, 1}, {4, 6}},
       6},
      {"shift+arrows extend",
       {{kClick, 2}, {kKey, Qt::Key_Down, kShift}, {kKey, Qt::Key_Down, kShift}},
       {{2, 4}},
       4},
      {"an arrow alone selects one again",
       {{kClick, 2}, {kKey, Qt::Key_Down, kShift}, {kKey, Qt::Key_Down}},
       {{4, 4}},
       4},
      {"shift+home from the end",
       {{kKey, Qt::Key_End}, {kKey, Qt::Key_Home, kShift}},
       {{0, 19}},
       0},
      {"ctrl+a keeps the current item", {{kClick, 5}, {kKey, Qt::Key_A, kCtrl}}, {{0, 19}}, 5},
      {"set item index selects it alone", {{kKey, Qt::Key_A, kCtrl}, {kSetIndex, 8}}, {{8, 8}}, 8},
      {"no item", {{kClick, 4}, {kSetIndex, -1}}, {}, -1},
      // Last: it deletes a row.
      {"without its anchor row, shift extends from the current item",
       {{kClick, 2}, {kClick, 4, kShift}, {kDelete, 2}, {kKey, Qt::Key_Down, kShift}},
       {{3, 4}},
       4},
  };
  for (const auto& [name, steps, selected, current] : cases) {
    box.SetItemIndex(-1);
    for (const TStep& step : steps) {
      if (step.action == kClick) Click(step.value, step.modifiers);
      if (step.action == kKey) Key(step.value, step.modifiers);
      if (step.action == kSetIndex) box.SetItemIndex(step.value);
      if (step.action == kDelete) box.DeleteItem(step.value);
    }
    EXPECT_EQ(box.Selection().Runs(), selected) << name;
    EXPECT_EQ(box.ItemIndex(), current) << name;
  }
}

TEST_F(ListBoxSelectionTest, SelectionStaysOnItsRowsAsRowsBeforeThemGo) {
  Click(5);
  Click(8, Qt::ShiftModifier);
  box.DeleteItem(0);
  box.DeleteItem(5);  // "item 6"
  EXPECT_EQ(box.Selection().Runs(), (Runs{{4, 6}}));
  EXPECT_EQ(box.ItemIndex(), 6);
  EXPECT_EQ(box.SelectedText(), "copy of item 5\ncopy of item 7\ncopy of item 8");
  // The anchor went on with its row: Shift extends from it still.
  Key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(box.Selection().Runs(), (Runs{{4, 7}}));
  // The current item going leaves none current.
  box.DeleteItem(7);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_THROW(box.DeleteItem(box.Count()), std::out_of_range);
}

TEST_F(ListBoxSelectionTest, CtrlCAndTheContextMenuCopyTheSelectedRowsInOrder) {
  Click(7);
  Click(2, Qt::ControlModifier);
  QApplication::clipboard()->clear();
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "copy of item 2\ncopy of item 7");

  QApplication::clipboard()->clear();
  Key(Qt::Key_F10, Qt::ShiftModifier);
  auto* menu = box.findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return menu->isVisible(); }));
  QAction* copy = menu->findChild<QAction*>("Copy");
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->isEnabled());
  copy->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "copy of item 2\ncopy of item 7");
  menu->hide();

  // The Menu key opens it too; with nothing selected its Copy is off.
  box.ClearSelection();
  Key(Qt::Key_Menu);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return menu->isVisible(); }));
  EXPECT_FALSE(copy->isEnabled());
  menu->hide();
}

// Rows without strings make only the accessible items asked for; selected
// they are one run, which follows the rows that are dropped.
TEST(ListBoxRows, AHundredThousandRowsAreCheapToReadAndSelect) {
  RowsListBox box;
  box.resize(200, 100);
  box.show();
  box.AppendRows(100'000);
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&box);
  ASSERT_EQ(list->childCount(), 100'000);
  EXPECT_EQ(list->child(99'999)->text(QAccessible::Name), "row 99999");
  EXPECT_EQ(box.AccessibleRows().Made(), 1);
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(box.Selection().Runs(), (Runs{{0, 99'999}}));
  const QStringList lines = box.SelectedText().split('\n');
  ASSERT_EQ(lines.size(), 100'000);
  EXPECT_EQ(lines.back(), "row 99999");

  box.SetItemIndex(50'000);
  box.DropFirstRows(40'000);
  EXPECT_EQ(box.ItemIndex(), 10'000);
  EXPECT_EQ(box.Selection().Runs(), (Runs{{10'000, 10'000}}));
  box.DropFirstRows(10'001);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_TRUE(box.Selection().Empty());
}

}  // namespace
