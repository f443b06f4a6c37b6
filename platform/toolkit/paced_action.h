// TPacedAction: runs an action soon after it is asked for, but no sooner than
// an interval after its previous run: at the next turn of the event loop once
// the interval has passed, else when it passes. While a peer floods the
// window, work that only shows the newest state (appending held lines,
// following the newest row) then runs a few dozen times a second instead of
// once per read.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "platform/toolkit/once_per_turn.h"

namespace toolkit {

class TPacedAction : public QObject {
 public:
  TPacedAction(std::function<void()> action, int interval_ms, QObject* parent = nullptr);

  // Queues the action unless it is queued already.
  void Request();
  // Whether the action waits for its interval to pass.
  bool Waiting() const { return timer_.isActive(); }

 private:
  void Run();

  std::function<void()> action_;
  int interval_ms_;
  TOncePerTurn* turn_;
  QTimer timer_;
  QElapsedTimer since_run_;
};

}  // namespace toolkit
