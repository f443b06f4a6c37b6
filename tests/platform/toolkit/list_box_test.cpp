// The list host: measuring through the hook, scrolling no further than the end,
// keys that scroll; and to assistive technology a list of all its rows, each read
// by its text with its states and place, the focus on the current row, and new
// rows announced once per turn of the event loop.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/toolkit/accessibility_events.h"
#include "platform/toolkit/list_box.h"
#include "platform/toolkit/list_item_accessible.h"
#include "tests/support/wait_until.h"

namespace {

// Hears the toolkit's events for as long as it lives: where the focus went, and
// the texts announced (by the announcement event where Qt has it, else by a
// notification's new name).
class Listener {
 public:
  Listener() {
    previous_ = toolkit::SetAccessibilityListener([this](QAccessibleEvent& event) {
      QAccessibleInterface* about = event.accessibleInterface();
      const QAccessible::Role role = about != nullptr ? about->role() : QAccessible::NoRole;
      const QString name = about != nullptr ? about->text(QAccessible::Name) : QString();
      if (event.type() == QAccessible::Focus) focus = {role, name};
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
      if (event.type() == QAccessible::Announcement) {
        announced.push_back(static_cast<QAccessibleAnnouncementEvent&>(event).message());
      }
#else
      if (event.type() == QAccessible::NameChanged && role == QAccessible::Notification) {
        announced.push_back(name);
      }
#endif
    });
  }
  ~Listener() {
    toolkit::SetAccessibilityListener(previous_);
  }

  std::pair<QAccessible::Role, QString> focus{QAccessible::NoRole, {}};
  std::vector<QString> announced;

 private:
  toolkit::TAccessibilityListener previous_;
};

class ListBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    box.setAccessibleName("Things");
    box.resize(200, 100);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    for (int i = 0; i < 20; ++i) box.AddItem("item " + std::to_string(i));
    list = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(list, nullptr);
  }

  int RowsThatFit() { return box.viewport()->height() / box.ItemHeight(); }

  toolkit::TListBox box;
  QAccessibleInterface* list = nullptr;
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

using ListBoxAccessibleTest = ListBoxTest;

TEST_F(ListBoxAccessibleTest, IsAListOfEveryRowNamedByItsText) {
  EXPECT_EQ(list->role(), QAccessible::List);
  EXPECT_EQ(list->text(QAccessible::Name), "Things");
  EXPECT_TRUE(list->state().multiSelectable);
  ASSERT_EQ(list->childCount(), 20);
  QAccessibleInterface* last = list->child(19);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->role(), QAccessible::ListItem);
  EXPECT_EQ(last->text(QAccessible::Name), "item 19");
  EXPECT_EQ(last->parent(), list);
  EXPECT_EQ(list->indexOfChild(last), 19);
  EXPECT_EQ(list->child(19), last) << "kept by row";
  EXPECT_EQ(list->child(20), nullptr);
}

TEST_F(ListBoxAccessibleTest, RowsTellTheirStatesAndPlaces) {
  box.setFocus();
  box.SetItemIndex(1);
  box.SelectRange(3, 3);
  box.SelectRange(19, 40);  // as far as the last row
  box.SetTopIndex(0);
  // Row, selected, focused, in view.
  const std::tuple<int, bool, bool, bool> cases[] = {{0, false, false, true},
                                                     {1, true, true, true},
                                                     {3, true, false, true},
                                                     {19, true, false, false}};
  for (const auto& [row, selected, focused, in_view] : cases) {
    QAccessibleInterface* item = list->child(row);
    const QAccessible::State state = item->state();
    EXPECT_TRUE(state.selectable && state.focusable) << row;
    EXPECT_EQ(bool(state.selected), selected) << row;
    EXPECT_EQ(bool(state.focused), focused) << row;
    EXPECT_EQ(bool(state.offscreen), !in_view) << row;
    EXPECT_EQ(item->rect().isValid(), in_view) << row;
  }
  const QRect second = list->child(1)->rect();
  EXPECT_EQ(list->childAt(second.center().x(), second.center().y()), list->child(1));
  EXPECT_EQ(list->focusChild(), list->child(1));
}

TEST_F(ListBoxAccessibleTest, ItemsFollowTheirRowsAndGoWithThem) {
  QAccessibleInterface* fifth = list->child(5);
  QAccessibleInterface* first = list->child(0);
  const QAccessible::Id first_id = QAccessible::uniqueId(first);
  box.DeleteItem(0);
  EXPECT_EQ(QAccessible::accessibleInterface(first_id), nullptr) << "gone with its row";
  EXPECT_EQ(list->indexOfChild(fifth), 4);
  EXPECT_EQ(fifth->text(QAccessible::Name), "item 5");
  box.ClearItems();
  EXPECT_EQ(list->childCount(), 0);
  EXPECT_EQ(box.AccessibleRows().Made(), 0);
}

TEST_F(ListBoxAccessibleTest, TheFocusFollowsTheCurrentRow) {
  box.setFocus();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return box.hasFocus(); }));
  box.SetItemIndex(0);
  Listener listener;
  for (const Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Home}) {
    QTest::keyClick(&box, key);
    EXPECT_EQ(listener.focus,
              std::pair(QAccessible::ListItem, QString::fromStdString(box.Item(box.ItemIndex()))))
        << key;
  }
}

TEST_F(ListBoxAccessibleTest, NewRowsAreAnnouncedOncePerTurnWithTheNewest) {
  box.SetAnnounceNewRows(true);
  Listener listener;
  for (int i = 0; i < 50; ++i) box.AddItem("flood " + std::to_string(i));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !listener.announced.empty(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(listener.announced, std::vector<QString>{"flood 49"});
  box.AddItem("one more");
  ASSERT_TRUE(testsupport::WaitUntil([&] { return listener.announced.size() == 2; }));
  EXPECT_EQ(listener.announced.back(), "one more");
}

}  // namespace
