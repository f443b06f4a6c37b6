// TListBox: a list of byte-string items that draws each item itself, with a
// height of its own per item, on Qt Widgets. It keeps the items, the current
// item and the selected ones, the top visible item and the vertical scroll
// bar, answers keys, clicks and the wheel, copies the selected rows, stands
// for its rows to assistive technology, and calls two virtual steps that
// descendants override: the measure step (an item's height) and the draw step
// (an item's pixels), both against the canvas interface.
//
// Adding or deleting measures nothing: an item is measured when its height is
// first needed (to lay out or draw the rows in view, or to size the scroll bar
// from the last rows), and its height is kept until the width or the layout of
// the items changes. The scroll bar and the repaint follow the changes at most
// once per turn of the event loop.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/toolkit/canvas.h"
#include "platform/toolkit/font.h"
#include "platform/toolkit/once_per_turn.h"
#include "platform/toolkit/row_selection.h"

class QMenu;

namespace toolkit {

class TAccessibleRows;
class TAnnouncer;

enum class TListBoxStyle : std::uint8_t {
  lbStandard,           // every item ItemHeight() high
  lbOwnerDrawFixed,     // the same, drawn by the draw step
  lbOwnerDrawVariable,  // each item measured by the measure step
};

// What the host tells the draw step about the item.
using TOwnerDrawState = std::uint8_t;
constexpr TOwnerDrawState odSelected = 1 << 0;
constexpr TOwnerDrawState odFocused = 1 << 1;

class TListBox : public QAbstractScrollArea {
 public:
  using TMeasureItemEvent = std::function<void(TListBox& Sender, int Index, int& Height)>;

  explicit TListBox(QWidget* parent = nullptr);
  ~TListBox() override;

  // Items. Deleting keeps the selection on the same item when it survives.
  int AddItem(const std::string& item);
  void DeleteItem(int index);
  void ClearItems();
  int Count() const { return static_cast<int>(heights_.size()); }
  // The item string; a list of rows without strings (AppendRows) has none.
  const std::string& Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  // The text of a row as it is read aloud: by default the item.
  virtual std::string ItemText(int index) const;
  // The text of a row as it is copied: by default as it is read.
  virtual std::string ItemCopyText(int index) const;

  // The current item, -1 for none: the one the keys move from. Setting it
  // selects it alone and scrolls it into view.
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);

  // The selected rows, kept on their rows as rows before them go. The keys
  // and clicks select as lists do: Shift extends from the anchor, Ctrl-click
  // adds or takes away one row, Ctrl+A selects all.
  bool Selected(int index) const { return selection_.Contains(index); }
  const TRowSelection& Selection() const { return selection_; }
  void SelectAll();
  // Adds rows `first` to `last` to the selection; the current item stays.
  void SelectRange(int first, int last);
  void ClearSelection();
  // The copy text of the selected rows, one a line, in row order. Ctrl+C and
  // the context menu's Copy put it on the clipboard.
  QString SelectedText() const;
  void CopySelection() const;
  // The context menu, made when first asked for with Copy first; the list's
  // owner may add actions of its own after it.
  QMenu* ContextMenu();

  // Says the newest row's text to assistive technology as rows are added, at
  // most once per turn of the event loop, so that a flood is one message.
  void SetAnnounceNewRows(bool announce);
  // The accessible list items made so far, by row.
  TAccessibleRows& AccessibleRows() { return *accessible_rows_; }
  // The item shown in the first row. Setting it scrolls as far as the list can:
  // at most until the last items fill the view.
  int TopIndex();
  void SetTopIndex(int index);

  // The height every item starts with before the measure step.
  int ItemHeight() const { return item_height_; }
  void SetItemHeight(int height);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle style);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);

  // The measured height of an item, and its rectangle in the view (rows above
  // the top item lie above the view).
  int RowHeight(int index);
  TRect ItemRect(int index);
  // The item at a point of the view, -1 for none.
  int ItemAtPos(int y);
  // True when some of the row shows in the view.
  bool RowInView(int index);

  // Raised by the default measure step.
  TMeasureItemEvent OnMeasureItem;

  // Measure step: the height of item `index`, which starts at ItemHeight().
  virtual void MeasureItem(TCanvas& canvas, int index, int& height);
  // Draw step: paints item `index` into `rect`. The default draws the item's text.
  virtual void DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
  // What the host does for one item: gives the canvas the list's font and the
  // background brush (the highlight colours for a selected item), then runs
  // the draw step.
  void PaintItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);

 protected:
  // Repaints the view.
  void Invalidate();
  // Forgets every item's height, as when the layout of the items changed: each
  // is measured again when next needed.
  void RemeasureItems();

  // Rows without item strings, for a descendant that keeps its rows' contents
  // itself and draws them from there: rows come at the end and go from the
  // front, as items do. Not to be mixed with AddItem in one list.
  void AppendRows(int count);
  void DropFirstRows(int count);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // Keeps the selection and the rows in view on the same items when `count`
  // rows from `first` on are gone.
  void RowsRemoved(int first, int count);
  // Makes `index` the current item. Extending selects from the anchor to it
  // (added to the selection with `add`); otherwise it is selected alone and
  // becomes the anchor.
  void MoveCurrent(int index, bool extend, bool add);
  void ToggleRow(int index);
  // After the current item or the selection changed: into view, repainted,
  // and told to assistive technology.
  void CurrentMoved();
  void SelectionChanged();
  void AnnounceNewestRow();
  // The context menu at a point of the screen, or for the keyboard under the
  // current item.
  void ShowContextMenu(const QPoint& global);
  QPoint KeyboardMenuPoint();
  int MeasureOne(TCanvas& canvas, int index);
  // The item's kept height, measured first if it has none.
  int Height(int index);
  // Forgets the heights when the width changed since they were measured.
  void EnsureMeasured();
  // Brings the top index, the scroll bar and the view up to date with the
  // changes made since the last time; ScheduleLayout asks for that at the next
  // turn of the event loop, and every reader of the layout does it first.
  void ScheduleLayout();
  void SettleLayout();
  int MaxTopIndex();
  // The number of rows from the top item that fit the view whole, at least 1.
  int RowsInView();
  void MakeVisible(int index);
  void UpdateScrollBar();

  // Empty for a list of rows without strings.
  std::deque<std::string> items_;
  // One per row, kUnmeasured until its height is needed.
  std::deque<int> heights_;
  int item_index_ = -1;
  // Where Shift-selection extends from, -1 for the current item.
  int anchor_ = -1;
  TRowSelection selection_;
  int top_index_ = 0;
  // A top index asked for since the last layout, -1 for none.
  int wanted_top_index_ = -1;
  bool layout_pending_ = false;
  TOncePerTurn* layout_turn_;
  // Measures outside of painting, keeping its font metrics from item to item.
  std::unique_ptr<TCanvas> measure_canvas_;
  int item_height_ = 16;
  TListBoxStyle style_ = TListBoxStyle::lbStandard;
  TFont font_;
  int measured_width_ = -1;
  bool updating_scroll_bar_ = false;
  std::unique_ptr<TAccessibleRows> accessible_rows_;
  // Made when first needed.
  TOncePerTurn* announce_turn_ = nullptr;
  TAnnouncer* announcer_ = nullptr;
  QMenu* context_menu_ = nullptr;
};

}  // namespace toolkit
