// The list items of an owner-drawn list, made lazily and kept by row.
#include "platform/toolkit/list_item_accessible.h"

#include <QWidget>
#include <QWindow>

#include "platform/toolkit/list_box.h"
#include "platform/toolkit/text_codec.h"

namespace toolkit {

TListItemAccessible::TListItemAccessible(TListBox* box, int row) : box_(box), row_(row) {}

bool TListItemAccessible::isValid() const {
  return box_ != nullptr && row_ >= 0 && row_ < box_->Count();
}

QWindow* TListItemAccessible::window() const {
  return box_ != nullptr ? box_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TListItemAccessible::parent() const {
  return box_ != nullptr ? QAccessible::queryAccessibleInterface(box_.data()) : nullptr;
}

QString TListItemAccessible::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !isValid()) return {};
  return DisplayText(box_->ItemText(row_));
}

QRect TListItemAccessible::rect() const {
  if (!isValid() || !box_->RowInView(row_)) return {};
  const TRect item = box_->ItemRect(row_);
  const QPoint top_left = box_->viewport()->mapToGlobal(QPoint(item.Left, item.Top));
  return QRect(top_left, QSize(item.Width(), item.Height()));
}

QAccessible::State TListItemAccessible::state() const {
  QAccessible::State state;
  if (!isValid()) {
    state.invalid = true;
    return state;
  }
  state.selectable = true;
  state.focusable = true;
  state.selected = box_->Selected(row_);
  state.focused = row_ == box_->ItemIndex() && box_->hasFocus();
  state.offscreen = !box_->RowInView(row_);
  return state;
}

TAccessibleRows::~TAccessibleRows() {
  Clear();
}

TListItemAccessible* TAccessibleRows::Child(int row) {
  if (row < 0 || row >= box_->Count()) return nullptr;
  const auto kept = ids_.find(row);
  if (kept != ids_.end()) {
    return static_cast<TListItemAccessible*>(QAccessible::accessibleInterface(kept->second));
  }
  auto* item = new TListItemAccessible(box_, row);
  ids_.emplace(row, QAccessible::registerAccessibleInterface(item));
  return item;
}

void TAccessibleRows::RowsRemoved(int first, int count) {
  if (ids_.empty() || count <= 0) return;
  std::map<int, QAccessible::Id> moved;
  for (const auto& [row, id] : ids_) {
    if (row < first) {
      moved.emplace_hint(moved.end(), row, id);
    } else if (row < first + count) {
      QAccessible::deleteAccessibleInterface(id);
    } else {
      static_cast<TListItemAccessible*>(QAccessible::accessibleInterface(id))->SetRow(row - count);
      moved.emplace_hint(moved.end(), row - count, id);
    }
  }
  ids_ = std::move(moved);
}

void TAccessibleRows::Clear() {
  for (const auto& [row, id] : ids_) QAccessible::deleteAccessibleInterface(id);
  ids_.clear();
}

}  // namespace toolkit
