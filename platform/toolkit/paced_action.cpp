// TPacedAction: an action run at most once per interval.
#include "platform/toolkit/paced_action.h"

#include "platform/winsys/guarded_call.h"

namespace toolkit {

TPacedAction::TPacedAction(std::function<void()> action, int interval_ms, QObject* parent)
    : QObject(parent),
      action_(std::move(action)),
      interval_ms_(interval_ms),
      turn_(new TOncePerTurn([this] { Run(); }, this)) {
  timer_.setSingleShot(true);
  // Out of a timer, a failure goes to the application's handler, as one from
  // a posted event does.
  winsys::ConnectGuarded(&timer_, &QTimer::timeout, this, &TPacedAction::Run);
}

void TPacedAction::Request() {
  if (timer_.isActive()) return;
  const qint64 waited = since_run_.isValid() ? since_run_.elapsed() : interval_ms_;
  if (waited >= interval_ms_) {
    turn_->Request();
  } else {
    timer_.start(int(interval_ms_ - waited));
  }
}

void TPacedAction::Run() {
  timer_.stop();
  since_run_.start();
  action_();
}

}  // namespace toolkit
