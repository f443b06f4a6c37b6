// TListBox: the current item, the selected rows, their copy, and what
// assistive technology hears of them and of new rows.
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>
#include <algorithm>

#include "platform/toolkit/accessibility_events.h"
#include "platform/toolkit/announcer.h"
#include "platform/toolkit/list_box.h"
#include "platform/toolkit/text_codec.h"

namespace toolkit {

void TListBox::MoveCurrent(int index, bool extend, bool add) {
  SettleLayout();
  const int previous = item_index_;
  item_index_ = index >= 0 && index < Count() ? index : -1;
  if (extend && item_index_ >= 0) {
    // Without an anchor (its row went), the selection extends from where the
    // current item was.
    if (anchor_ < 0) anchor_ = previous >= 0 ? previous : item_index_;
    if (!add) selection_.Clear();
    selection_.Add(anchor_, item_index_);
  } else {
    anchor_ = item_index_;
    selection_.Clear();
    if (item_index_ >= 0) selection_.Add(item_index_, item_index_);
  }
  SelectionChanged();
}

void TListBox::ToggleRow(int index) {
  SettleLayout();
  item_index_ = index;
  anchor_ = index;
  selection_.Toggle(index);
  SelectionChanged();
}

void TListBox::SelectAll() {
  if (Count() == 0) return;
  selection_.Clear();
  selection_.Add(0, Count() - 1);
  SelectionChanged();
}

void TListBox::SelectRange(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  if (first > last) return;
  selection_.Add(first, last);
  SelectionChanged();
}

void TListBox::ClearSelection() {
  selection_.Clear();
  SelectionChanged();
}

QString TListBox::SelectedText() const {
  QStringList lines;
  for (const TRowSelection::Run& run : selection_.Runs()) {
    for (int row = run.First; row <= run.Last && row < Count(); ++row) {
      lines.append(DisplayText(ItemCopyText(row)));
    }
  }
  return lines.join('\n');
}

void TListBox::CopySelection() const {
  if (selection_.Empty()) return;
  QGuiApplication::clipboard()->setText(SelectedText());
}

void TListBox::SelectionChanged() {
  if (item_index_ >= 0) MakeVisible(item_index_);
  UpdateScrollBar();
  Invalidate();
  if (AccessibilityHeard()) {
    QAccessibleEvent within(this, QAccessible::SelectionWithin);
    RaiseAccessibilityEvent(within);
  }
  CurrentMoved();
}

void TListBox::CurrentMoved() {
  if (item_index_ < 0 || !hasFocus() || !AccessibilityHeard()) return;
  // The focus is the row's: the list's interface finds it by its index.
  QAccessibleEvent focus(this, QAccessible::Focus);
  focus.setChild(item_index_);
  RaiseAccessibilityEvent(focus);
}

void TListBox::SetAnnounceNewRows(bool announce) {
  if (!announce) {
    delete announce_turn_;
    announce_turn_ = nullptr;
    return;
  }
  if (announce_turn_ != nullptr) return;
  announce_turn_ = new TOncePerTurn([this] { AnnounceNewestRow(); }, this);
  if (announcer_ == nullptr) announcer_ = new TAnnouncer(this);
}

void TListBox::AnnounceNewestRow() {
  if (Count() == 0 || !AccessibilityHeard()) return;
  announcer_->Announce(DisplayText(ItemText(Count() - 1)));
}

}  // namespace toolkit
