// TListBox: the keys, the clicks, the focus and the context menu.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "platform/toolkit/list_box.h"

namespace toolkit {

void TListBox::keyPressEvent(QKeyEvent* event) {
  SettleLayout();
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    return;
  }
  if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
    return;
  }
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && shift)) {
    ShowContextMenu(KeyboardMenuPoint());
    return;
  }
  if (Count() == 0) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const int current = item_index_;
  const int page = RowsInView();
  int target = current;
  switch (event->key()) {
    case Qt::Key_Up:
      target = current - 1;
      break;
    case Qt::Key_Down:
      target = current + 1;
      break;
    case Qt::Key_Home:
      target = 0;
      break;
    case Qt::Key_End:
      target = Count() - 1;
      break;
    case Qt::Key_PageUp:
      target = current - (page - 1);
      break;
    case Qt::Key_PageDown:
      target = current + (page - 1);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  MoveCurrent(std::clamp(target, 0, Count() - 1), shift, false);
}

void TListBox::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const int index = ItemAtPos(static_cast<int>(event->position().y()));
  if (index < 0) return;
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  if (event->button() == Qt::RightButton) {
    // The menu acts on the selection the click lands in, else on the row.
    if (!Selected(index)) SetItemIndex(index);
  } else if ((modifiers & Qt::ShiftModifier) != 0) {
    MoveCurrent(index, true, (modifiers & Qt::ControlModifier) != 0);
  } else if ((modifiers & Qt::ControlModifier) != 0) {
    ToggleRow(index);
  } else {
    SetItemIndex(index);
  }
}

void TListBox::contextMenuEvent(QContextMenuEvent* event) {
  ShowContextMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                              : KeyboardMenuPoint());
}

void TListBox::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  Invalidate();
  CurrentMoved();
}

void TListBox::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  Invalidate();
}

QPoint TListBox::KeyboardMenuPoint() {
  QPoint at(0, 0);
  if (item_index_ >= 0 && RowInView(item_index_)) {
    const TRect row = ItemRect(item_index_);
    at = QPoint(row.Left + 8, row.Bottom);
  }
  return viewport()->mapToGlobal(at);
}

QMenu* TListBox::ContextMenu() {
  if (context_menu_ == nullptr) {
    context_menu_ = new QMenu(this);
    QAction* copy = context_menu_->addAction("&Copy", this, [this] { CopySelection(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setObjectName("Copy");
  }
  return context_menu_;
}

void TListBox::ShowContextMenu(const QPoint& global) {
  ContextMenu()->actions().front()->setEnabled(!selection_.Empty());
  context_menu_->popup(global);
}

}  // namespace toolkit
