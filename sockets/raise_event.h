// Raising an event: skipped while unassigned, and called through a copy of its
// handler, because the handler may replace itself or free the object holding it.
#pragma once

#include <utility>

namespace sockets {

template <typename Event, typename... Args>
void RaiseEvent(const Event& event, Args&&... args) {
  if (!event) return;
  const Event handler = event;
  handler(std::forward<Args>(args)...);
}

}  // namespace sockets
