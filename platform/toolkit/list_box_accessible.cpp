// The accessible list over TListBox, and the toolkit's accessible factory.
#include "platform/toolkit/list_box_accessible.h"

#include "platform/toolkit/announcer.h"
#include "platform/toolkit/list_box.h"
#include "platform/toolkit/list_item_accessible.h"

namespace toolkit {

namespace {

QAccessibleInterface* ToolkitInterface(const QString&, QObject* object) {
  if (auto* box = dynamic_cast<TListBox*>(object)) return new TListBoxAccessible(box);
  if (auto* announcer = dynamic_cast<TAnnouncer*>(object)) {
    return new TAnnouncementAccessible(announcer);
  }
  return nullptr;
}

}  // namespace

TListBoxAccessible::TListBoxAccessible(TListBox* box) : QAccessibleWidget(box, QAccessible::List) {}

TListBox* TListBoxAccessible::Box() const {
  return static_cast<TListBox*>(widget());
}

int TListBoxAccessible::childCount() const {
  return Box()->Count();
}

QAccessibleInterface* TListBoxAccessible::child(int index) const {
  return Box()->AccessibleRows().Child(index);
}

int TListBoxAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const TListItemAccessible*>(child);
  return item != nullptr && item->Box() == Box() && item->isValid() ? item->Row() : -1;
}

QAccessibleInterface* TListBoxAccessible::childAt(int x, int y) const {
  const QPoint at = Box()->viewport()->mapFromGlobal(QPoint(x, y));
  if (!Box()->viewport()->rect().contains(at)) return nullptr;
  return child(Box()->ItemAtPos(at.y()));
}

QAccessibleInterface* TListBoxAccessible::focusChild() const {
  if (!Box()->hasFocus()) return nullptr;
  return child(Box()->ItemIndex());
}

QAccessible::State TListBoxAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.multiSelectable = true;
  state.extSelectable = true;
  return state;
}

void InstallAccessibleFactory() {
  static const bool installed = [] {
    // Factories installed later are asked first: this one comes before Qt's
    // own interface for the scroll area the list is made on.
    QAccessible::installFactory(&ToolkitInterface);
    return true;
  }();
  (void)installed;
}

}  // namespace toolkit
