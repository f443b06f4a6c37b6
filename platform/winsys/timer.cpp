// The periodic timer over QTimer.
#include <QTimer>
#include <utility>

#include "platform/winsys/guarded_call.h"
#include "platform/winsys/winsys.h"

namespace winsys {

struct TTimer::Impl {
  QTimer timer;
  std::function<void()> handler;
  unsigned interval_ms = 0;
  bool enabled = true;

  // The timer runs while enabled, with a handler and a non-zero interval. A
  // running timer is not restarted, so changing the handler does not delay the
  // next tick.
  void Update() {
    if (!enabled || !handler || interval_ms == 0) {
      timer.stop();
    } else if (!timer.isActive() || timer.interval() != int(interval_ms)) {
      timer.start(int(interval_ms));
    }
  }
};

TTimer::TTimer(unsigned interval_ms, std::function<void()> handler) : impl_(new Impl) {
  impl_->interval_ms = interval_ms;
  impl_->handler = std::move(handler);
  QObject::connect(&impl_->timer, &QTimer::timeout, [impl = impl_.get()] {
    // A copy: the handler may replace itself or stop the timer.
    auto handler = impl->handler;
    if (handler) CallGuarded(handler);
  });
  impl_->Update();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
  impl_->Update();
}

bool TTimer::Enabled() const {
  return impl_->enabled;
}

void TTimer::SetInterval(unsigned interval_ms) {
  impl_->interval_ms = interval_ms;
  impl_->Update();
}

void TTimer::SetHandler(std::function<void()> handler) {
  impl_->handler = std::move(handler);
  impl_->Update();
}

}  // namespace winsys
