// The process-wide queue of readiness notifications held back while a look-up
// wait is in progress, delivered afterwards in arrival order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <optional>

#include "sockets/message.h"

namespace sockets {

class TSockCtrl;

struct TDeferredSelect {
  TMessage Message;              // a copy of the notification
  TSockCtrl* Control = nullptr;  // the control it was sent to; none once that control let go
};

class TDeferredQueue {
 public:
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }

  void Append(const TMessage& message, TSockCtrl* control) {
    entries_.push_back({message, control});
  }
  // Unlinks the first entry; none when the queue is empty.
  std::optional<TDeferredSelect> TakeFirst() {
    if (entries_.empty()) return std::nullopt;
    TDeferredSelect first = entries_.front();
    entries_.pop_front();
    return first;
  }
  // The control of the first entry that still names one; none when no entry does.
  TSockCtrl* FirstControl() const {
    for (const TDeferredSelect& entry : entries_) {
      if (entry.Control != nullptr) return entry.Control;
    }
    return nullptr;
  }
  // Keeps the control's entries in line but delivers them to no one.
  void Disown(const TSockCtrl* control) {
    for (TDeferredSelect& entry : entries_) {
      if (entry.Control == control) entry.Control = nullptr;
    }
  }
  // Removes the control's entries.
  void Drop(const TSockCtrl* control) {
    std::erase_if(entries_,
                  [control](const TDeferredSelect& entry) { return entry.Control == control; });
  }
  // Releases every entry without delivering it.
  void Clear() { entries_.clear(); }

 private:
  std::deque<TDeferredSelect> entries_;
};

}  // namespace sockets
