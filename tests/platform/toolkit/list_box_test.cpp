// The list host: measuring through the hook, scrolling no further than the end,
// keys that scroll.
#include "platform/toolkit/list_box.h"

#include <gtest/gtest.h>

#include <QTest>
#include <set>

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

// Items are measured when their height is first needed, once each until the
// layout changes: adding a thousand measures none of them.
TEST_F(ListBoxTest, VariableStyleMeasuresEachItemFromItemHeightWhenNeeded) {
  std::vector<int> measured;
  std::vector<int> started_at;
  box.OnMeasureItem = [&](toolkit::TListBox&, int index, int& height) {
    measured.push_back(index);
    started_at.push_back(height);
    height = 10 + index % 20;
  };
  box.SetStyle(toolkit::TListBoxStyle::lbOwnerDrawVariable);
  EXPECT_EQ(box.RowHeight(3), 13);
  EXPECT_EQ(box.ItemRect(2), (toolkit::TRect{0, 10 + 11, box.viewport()->width(), 21 + 12}));
  EXPECT_EQ(box.ItemAtPos(21), 2);
  // The rows in view and the last rows (for the scroll bar), each once.
  EXPECT_LT(measured.size(), 20u);
  EXPECT_EQ(std::set<int>(measured.begin(), measured.end()).size(), measured.size());
  EXPECT_EQ(started_at, std::vector<int>(measured.size(), 16));

  measured.clear();
  for (int i = 20; i < 1020; ++i) box.AddItem("item " + std::to_string(i));
  box.SetTopIndex(box.Count() - 1);
  EXPECT_EQ(measured, std::vector<int>{});
  // Scrolling to the end measures the last rows only, and painting them
  // measures nothing more.
  EXPECT_GT(box.TopIndex(), 1000);
  EXPECT_LT(measured.size(), 20u);
  const std::size_t for_layout = measured.size();
  box.repaint();
  EXPECT_EQ(measured.size(), for_layout);
}

TEST_F(ListBoxTest, TopIndexStopsWhereTheLastItemsFillTheViewAndKeysScrollTheCurrentItemIn) {
  ASSERT_GT(RowsThatFit(), 0);
  box.SetTopIndex(box.Count() - 1);
  EXPECT_EQ(box.TopIndex(), box.Count() - RowsThatFit());
  box.SetTopIndex(-3);
  EXPECT_EQ(box.TopIndex(), 0);

  box.setFocus();
  QTest::keyClick(&box, Qt::Key_End);
  EXPECT_EQ(box.ItemIndex(), 19);
  EXPECT_EQ(box.TopIndex(), box.Count() - RowsThatFit());
  QTest::keyClick(&box, Qt::Key_Home);
  EXPECT_EQ(box.TopIndex(), 0);

  box.SetTopIndex(box.Count() - 1);
  box.ClearItems();
  EXPECT_EQ(box.Count(), 0);
  EXPECT_EQ(box.TopIndex(), 0);
}

}  // namespace
