// Waits for a condition while the event loop runs, with a deadline instead of a
// fixed sleep: true as soon as the condition holds, false when time is up.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace testsupport {

inline bool WaitUntil(const std::function<bool()>& condition, int timeout_ms = 5000) {
  QDeadlineTimer deadline(timeout_ms);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!condition()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  }
  return true;
}

}  // namespace testsupport
