// TListBox: the owner-drawn list host on Qt Widgets.
#include "platform/toolkit/list_box.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <stdexcept>

#include "platform/toolkit/list_box_accessible.h"
#include "platform/toolkit/list_item_accessible.h"
#include "platform/toolkit/painter_canvas.h"
#include "platform/toolkit/qt_font.h"

namespace toolkit {

namespace {

constexpr int kUnmeasured = -1;

}  // namespace

TListBox::TListBox(QWidget* parent)
    : QAbstractScrollArea(parent),
      layout_turn_(new TOncePerTurn([this] { SettleLayout(); }, this)),
      accessible_rows_(std::make_unique<TAccessibleRows>(this)) {
  InstallAccessibleFactory();
  // Qt may have made its scroll area's interface for the list while the list
  // was still being made; with assistive technology listening, that one goes.
  if (QAccessible::isActive()) {
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(this);
    if (made != nullptr && dynamic_cast<TListBoxAccessible*>(made) == nullptr) {
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
  }
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  // The scroll bar counts items, not pixels: its value is the top index.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (updating_scroll_bar_) return;
    top_index_ = value;
    Invalidate();
  });
}

TListBox::~TListBox() = default;

int TListBox::AddItem(const std::string& item) {
  items_.push_back(item);
  heights_.push_back(kUnmeasured);
  ScheduleLayout();
  if (announce_turn_ != nullptr) announce_turn_->Request();
  return Count() - 1;
}

void TListBox::DeleteItem(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  items_.erase(items_.begin() + index);
  heights_.erase(heights_.begin() + index);
  RowsRemoved(index, 1);
}

void TListBox::AppendRows(int count) {
  if (count <= 0) return;
  heights_.insert(heights_.end(), static_cast<std::size_t>(count), kUnmeasured);
  ScheduleLayout();
  if (announce_turn_ != nullptr) announce_turn_->Request();
}

void TListBox::DropFirstRows(int count) {
  count = std::min(count, Count());
  if (count <= 0) return;
  heights_.erase(heights_.begin(), heights_.begin() + count);
  RowsRemoved(0, count);
}

void TListBox::RowsRemoved(int first, int count) {
  const auto shift = [&](int& index, int gone) {
    if (index >= first + count) {
      index -= count;
    } else if (index >= first) {
      index = gone;
    }
  };
  shift(item_index_, -1);
  shift(anchor_, -1);
  selection_.RowsRemoved(first, count);
  accessible_rows_->RowsRemoved(first, count);
  // The rows in view stay where they are, or the first survivor takes the top.
  shift(top_index_, first);
  if (wanted_top_index_ >= 0) shift(wanted_top_index_, first);
  ScheduleLayout();
}

void TListBox::ClearItems() {
  items_.clear();
  heights_.clear();
  item_index_ = -1;
  anchor_ = -1;
  selection_.Clear();
  accessible_rows_->Clear();
  top_index_ = 0;
  wanted_top_index_ = -1;
  ScheduleLayout();
}

void TListBox::SetItemIndex(int index) {
  MoveCurrent(index, false, false);
}

void TListBox::SetTopIndex(int index) {
  wanted_top_index_ = std::max(index, 0);
  ScheduleLayout();
}

int TListBox::TopIndex() {
  SettleLayout();
  return top_index_;
}

void TListBox::SetItemHeight(int height) {
  item_height_ = height;
  RemeasureItems();
}

void TListBox::SetStyle(TListBoxStyle style) {
  style_ = style;
  RemeasureItems();
}

void TListBox::SetFont(const TFont& font) {
  font_ = font;
  RemeasureItems();
}

int TListBox::RowHeight(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  SettleLayout();
  return Height(index);
}

TRect TListBox::ItemRect(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  SettleLayout();
  int top = 0;
  for (int i = top_index_; i < index; ++i) top += Height(i);
  for (int i = index; i < top_index_; ++i) top -= Height(i);
  return TRect{0, top, viewport()->width(), top + Height(index)};
}

int TListBox::ItemAtPos(int y) {
  SettleLayout();
  if (y < 0) return -1;
  int bottom = 0;
  for (int i = top_index_; i < Count(); ++i) {
    bottom += Height(i);
    if (y < bottom) return i;
  }
  return -1;
}

bool TListBox::RowInView(int index) {
  SettleLayout();
  if (index < top_index_ || index >= Count()) return false;
  const int view_height = viewport()->height();
  int top = 0;
  for (int i = top_index_; i < index; ++i) {
    top += Height(i);
    if (top >= view_height) return false;
  }
  return true;
}

std::string TListBox::ItemText(int index) const {
  return Item(index);
}

std::string TListBox::ItemCopyText(int index) const {
  return ItemText(index);
}

void TListBox::MeasureItem(TCanvas&, int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(*this, index, height);
}

void TListBox::DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState) {
  canvas.FillRect(rect);
  canvas.TextOut(rect.Left + 2, rect.Top, Item(index));
}

void TListBox::PaintItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state) {
  TFont font = font_;
  canvas.SetBrushColor(clWindow);
  if ((state & odSelected) != 0) {
    canvas.SetBrushColor(clHighlight);
    font.Color = clHighlightText;
  }
  canvas.SetFont(font);
  DrawItem(canvas, index, rect, state);
}

void TListBox::Invalidate() {
  viewport()->update();
}

void TListBox::RemeasureItems() {
  std::fill(heights_.begin(), heights_.end(), kUnmeasured);
  ScheduleLayout();
}

void TListBox::paintEvent(QPaintEvent*) {
  SettleLayout();
  QPainter painter(viewport());
  const int view_width = viewport()->width();
  const int view_height = viewport()->height();
  painter.fillRect(viewport()->rect(), ToQColor(clWindow, palette()));
  int top = 0;
  for (int i = top_index_; i < Count() && top < view_height; ++i) {
    const TRect rect{0, top, view_width, top + Height(i)};
    TOwnerDrawState state = 0;
    if (selection_.Contains(i)) state |= odSelected;
    if (i == item_index_ && hasFocus()) state |= odFocused;
    // Each draw step paints inside its own row and leaves the painter as it was.
    painter.save();
    painter.setClipRect(QRect(0, rect.Top, view_width, rect.Height()));
    {
      TPainterCanvas canvas(&painter, palette());
      PaintItem(canvas, i, rect, state);
    }
    painter.restore();
    if ((state & odFocused) != 0) {
      QStyleOptionFocusRect option;
      option.initFrom(this);
      option.rect = QRect(0, rect.Top, view_width, rect.Height());
      option.backgroundColor = ToQColor(clHighlight, palette());
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    top = rect.Bottom;
  }
}

void TListBox::resizeEvent(QResizeEvent*) {
  layout_pending_ = true;
  SettleLayout();
}

int TListBox::MeasureOne(TCanvas& canvas, int index) {
  int height = item_height_;
  if (style_ == TListBoxStyle::lbOwnerDrawVariable) MeasureItem(canvas, index, height);
  // A row of no height could never be shown or scrolled to.
  return std::max(height, 1);
}

// A measure step may change the layout of all items (and forget every height);
// the height it gives is already the one of the new layout, so it is kept.
int TListBox::Height(int index) {
  EnsureMeasured();
  const int kept = heights_[static_cast<std::size_t>(index)];
  if (kept != kUnmeasured) return kept;
  if (!measure_canvas_) measure_canvas_ = std::make_unique<TPainterCanvas>(nullptr, palette());
  const int measured = MeasureOne(*measure_canvas_, index);
  heights_[static_cast<std::size_t>(index)] = measured;
  return measured;
}

void TListBox::EnsureMeasured() {
  if (measured_width_ == width()) return;
  measured_width_ = width();
  std::fill(heights_.begin(), heights_.end(), kUnmeasured);
}

void TListBox::ScheduleLayout() {
  layout_pending_ = true;
  layout_turn_->Request();
}

void TListBox::SettleLayout() {
  if (!layout_pending_ && measured_width_ == width()) return;
  layout_pending_ = false;
  EnsureMeasured();
  if (wanted_top_index_ >= 0) top_index_ = wanted_top_index_;
  wanted_top_index_ = -1;
  UpdateScrollBar();
  Invalidate();
}

int TListBox::MaxTopIndex() {
  const int view_height = viewport()->height();
  int below = 0;
  for (int i = Count() - 1; i >= 0; --i) {
    below += Height(i);
    if (below > view_height) return std::min(i + 1, Count() - 1);
  }
  return 0;
}

int TListBox::RowsInView() {
  const int view_height = viewport()->height();
  int rows = 0;
  int bottom = 0;
  for (int i = top_index_; i < Count(); ++i) {
    bottom += Height(i);
    if (bottom > view_height) break;
    ++rows;
  }
  return std::max(rows, 1);
}

void TListBox::MakeVisible(int index) {
  if (index < top_index_) {
    top_index_ = index;
  } else {
    // The lowest top that shows the whole row, found from the row upwards, so
    // that the walk is as long as the view is high, however far the row is;
    // a row higher than the view is its own top.
    const int view_height = viewport()->height();
    int top = index;
    int shown = Height(index);
    while (top > top_index_ && shown + Height(top - 1) <= view_height) shown += Height(--top);
    top_index_ = top;
  }
  top_index_ = std::min(top_index_, MaxTopIndex());
}

void TListBox::UpdateScrollBar() {
  top_index_ = std::clamp(top_index_, 0, MaxTopIndex());
  updating_scroll_bar_ = true;
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, MaxTopIndex());
  bar->setPageStep(RowsInView());
  bar->setValue(top_index_);
  updating_scroll_bar_ = false;
}

}  // namespace toolkit
