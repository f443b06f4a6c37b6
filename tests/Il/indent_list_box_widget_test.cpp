// The chat list as a widget on screen: it paints, re-measures its entries when
// its width changes, scrolls to its end, and reads and copies its entries.
#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "Il/indent_list_box.h"

namespace {

TEST(IndentListBoxWidget, PaintsAndMeasuresAgainOnResize) {
  il::TIndentListBox box;
  box.SetPosIndent(100);
  box.resize(500, 200);
  box.show();
  const std::string long_text(300, 'w');
  for (int i = 0; i < 30; ++i) box.AddItem("nick" + std::to_string(i) + " |" + long_text);
  box.AddItem("\xC3\xA9t\xC3\xA9 |caf\xE9 in Windows-1252");

  const int wide_height = box.RowHeight(0);
  EXPECT_GT(box.LineHeight(), 0);
  EXPECT_EQ(wide_height % box.LineHeight(), 0);
  box.resize(250, 200);
  EXPECT_GT(box.RowHeight(0), wide_height);

  // The newest entry as the top row, as far as the list scrolls: the view ends
  // with the last entry.
  box.SetTopIndex(box.Count() - 1);
  EXPECT_GT(box.TopIndex(), 0);
  EXPECT_LE(box.ItemRect(box.Count() - 1).Bottom, box.viewport()->height());
  // One entry more would not fit.
  EXPECT_GT(box.RowHeight(box.TopIndex() - 1) + box.ItemRect(box.Count() - 1).Bottom,
            box.viewport()->height());

  // The separator is the last row of pixels of the top entry.
  box.SetItemIndex(-1);
  QImage image(box.viewport()->size(), QImage::Format_RGB32);
  box.viewport()->render(&image);
  const int separator_row = box.RowHeight(box.TopIndex()) - 1;
  EXPECT_EQ(image.pixelColor(box.viewport()->width() / 2, separator_row), QColor(192, 192, 192));
}

TEST(IndentListBoxWidget, ReadsTitleColonTextAndCopiesTitleText) {
  struct Case {
    const char* entry;
    const char* read;
    const char* copied;
  };
  il::TIndentListBox box;
  for (const Case c :
       {Case{"alice |hello there", "alice: hello there", "alice hello there"},
        Case{"New:|bob", "New: bob", "New: bob"}, Case{"carol|a|b", "carol: a|b", "carol a|b"},
        Case{"no title here", "no title here", "no title here"}}) {
    box.AddItem(c.entry);
    EXPECT_EQ(box.ItemText(box.Count() - 1), c.read) << c.entry;
    EXPECT_EQ(box.ItemCopyText(box.Count() - 1), c.copied) << c.entry;
  }
}

}  // namespace
