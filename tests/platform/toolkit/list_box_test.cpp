// The list host: measuring through the hook, selection across deletes,
// scrolling no further than the end, keys.
#include "platform/toolkit/list_box.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class ListBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    box.resize(200, 100);
    box.show();
    for (int i = 0; i < 20; ++i) box.AddItem("item " + std::to_string(i));
  }

  int RowsThatFit() { return box.viewport()->height() / box.ItemHeight(); }

  toolkit::TListBox box;
};

TEST_F(ListBoxTest, VariableStyleMeasuresEachItemFromItemHeight) {
  std::vector<int> started_at;
  box.OnMeasureItem = [&](toolkit::TListBox&, int index, int& height) {
    started_at.push_back(height);
    height = 10 + index;
  };
  box.SetStyle(toolkit::TListBoxStyle::lbOwnerDrawVariable);
  EXPECT_EQ(box.RowHeight(3), 13);
  EXPECT_EQ(started_at, std::vector<int>(20, 16));
  EXPECT_EQ(box.ItemRect(2), (toolkit::TRect{0, 10 + 11, box.viewport()->width(), 21 + 12}));
  EXPECT_EQ(box.ItemAtPos(21), 2);
}

TEST_F(ListBoxTest, SelectionFollowsItsItemAcrossDeletes) {
  box.SetItemIndex(5);
  box.DeleteItem(0);
  EXPECT_EQ(box.ItemIndex(), 4);
  EXPECT_EQ(box.Item(4), "item 5");
  box.DeleteItem(4);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_THROW(box.DeleteItem(18), std::out_of_range);
  box.ClearItems();
  EXPECT_EQ(box.Count(), 0);
  EXPECT_EQ(box.TopIndex(), 0);
}

TEST_F(ListBoxTest, TopIndexStopsWhereTheLastItemsFillTheView) {
  ASSERT_GT(RowsThatFit(), 0);
  box.SetTopIndex(box.Count() - 1);
  EXPECT_EQ(box.TopIndex(), box.Count() - RowsThatFit());
  box.SetTopIndex(-3);
  EXPECT_EQ(box.TopIndex(), 0);
}

TEST_F(ListBoxTest, KeysMoveSelectionIntoView) {
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_End);
  EXPECT_EQ(box.ItemIndex(), 19);
  EXPECT_EQ(box.TopIndex(), box.Count() - RowsThatFit());
  QTest::keyClick(&box, Qt::Key_Home);
  QTest::keyClick(&box, Qt::Key_Down);
  EXPECT_EQ(box.ItemIndex(), 1);
  EXPECT_EQ(box.TopIndex(), 0);
}

}  // namespace
