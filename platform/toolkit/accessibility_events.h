// Accessibility events raised by the toolkit's own controls. Qt hands an event
// to assistive technology only while its platform bridge is active; a listener
// in the process (a test, for one) hears the toolkit's events as well, bridge
// or none.
#pragma once

#include <QAccessibleEvent>
#include <functional>

namespace toolkit {

using TAccessibilityListener = std::function<void(QAccessibleEvent& event)>;

// True when someone hears the events: worth building them.
bool AccessibilityHeard();
void RaiseAccessibilityEvent(QAccessibleEvent& event);
// Returns the listener it replaces; an empty one removes it.
TAccessibilityListener SetAccessibilityListener(TAccessibilityListener listener);

}  // namespace toolkit
