// The list host's selection: keys and clicks as lists select, the selection
// kept on its rows as rows go, and the copy of the selected rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <functional>
#include <vector>

#include "platform/toolkit/list_box.h"
#include "tests/support/wait_until.h"

namespace {

using toolkit::TRowSelection;
using Runs = std::vector<TRowSelection::Run>;

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

// Public: the cases' steps drive it from outside.
class ListBoxSelectionTest : public testing::Test {
 public:
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
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(&box, key, modifiers);
  }

  CopyingListBox box;
};

TEST_F(ListBoxSelectionTest, KeysAndClicksSelectAsListsDo) {
  struct Case {
    const char* name;
    std::function<void(ListBoxSelectionTest&)> steps;
    Runs selected;
    int current;
  };
  const Case cases[] = {
      {"click", [](auto& t) { t.Click(3); }, {{3, 3}}, 3},
      {"shift-click extends from the anchor",
       [](auto& t) {
         t.Click(3);
         t.Click(6, Qt::ShiftModifier);
         t.Click(1, Qt::ShiftModifier);
       },
       {{1, 3}},
       1},
      {"ctrl-click adds and takes away",
       [](auto& t) {
         t.Click(3);
         t.Click(5, Qt::ControlModifier);
         t.Click(7, Qt::ControlModifier);
         t.Click(3, Qt::ControlModifier);
       },
       {{5, 5}, {7, 7}},
       3},
      {"ctrl+shift-click adds a range",
       [](auto& t) {
         t.Click(1);
         t.Click(4, Qt::ControlModifier);
         t.Click(6, Qt::ShiftModifier | Qt::ControlModifier);
       },
       {{1, 1}, {4, 6}},
       6},
      {"shift+arrows extend",
       [](auto& t) {
         t.Click(2);
         t.Key(Qt::Key_Down, Qt::ShiftModifier);
         t.Key(Qt::Key_Down, Qt::ShiftModifier);
       },
       {{2, 4}},
       4},
      {"an arrow alone selects one again",
       [](auto& t) {
         t.Click(2);
         t.Key(Qt::Key_Down, Qt::ShiftModifier);
         t.Key(Qt::Key_Down);
       },
       {{4, 4}},
       4},
      {"shift+home from the end",
       [](auto& t) {
         t.Key(Qt::Key_End);
         t.Key(Qt::Key_Home, Qt::ShiftModifier);
       },
       {{0, 19}},
       0},
      {"ctrl+a keeps the current item",
       [](auto& t) {
         t.Click(5);
         t.Key(Qt::Key_A, Qt::ControlModifier);
       },
       {{0, 19}},
       5},
      {"set item index selects it alone",
       [](auto& t) {
         t.Key(Qt::Key_A, Qt::ControlModifier);
         t.box.SetItemIndex(8);
       },
       {{8, 8}},
       8},
      {"no item",
       [](auto& t) {
         t.Click(4);
         t.box.SetItemIndex(-1);
       },
       {},
       -1},
      // Last: it deletes a row.
      {"without its anchor row, shift extends from the current item",
       [](auto& t) {
         t.Click(2);
         t.Click(4, Qt::ShiftModifier);
         t.box.DeleteItem(2);
         t.Key(Qt::Key_Down, Qt::ShiftModifier);
       },
       {{3, 4}},
       4},
  };
  for (const Case& c : cases) {
    box.SetItemIndex(-1);
    c.steps(*this);
    EXPECT_EQ(box.Selection().Runs(), c.selected) << c.name;
    EXPECT_EQ(box.ItemIndex(), c.current) << c.name;
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

TEST(ListBoxRows, SelectingAHundredThousandRowsIsOneRunAndFollowsDroppedRows) {
  RowsListBox box;
  box.resize(200, 100);
  box.show();
  box.AppendRows(100'000);
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
