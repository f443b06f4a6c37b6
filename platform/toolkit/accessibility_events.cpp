// Accessibility events: to Qt's bridge, and to the listener in the process.
#include "platform/toolkit/accessibility_events.h"

#include <utility>

namespace toolkit {

namespace {

TAccessibilityListener& Listener() {
  static TAccessibilityListener listener;
  return listener;
}

}  // namespace

bool AccessibilityHeard() {
  return QAccessible::isActive() || static_cast<bool>(Listener());
}

void RaiseAccessibilityEvent(QAccessibleEvent& event) {
  if (Listener()) Listener()(event);
  QAccessible::updateAccessibility(&event);
}

TAccessibilityListener SetAccessibilityListener(TAccessibilityListener listener) {
  return std::exchange(Listener(), std::move(listener));
}

}  // namespace toolkit
