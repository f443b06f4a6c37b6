// TOncePerTurn: one queued event at a time, at the repaints' priority.
#include "platform/toolkit/once_per_turn.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

#include "platform/winsys/guarded_call.h"

namespace toolkit {

namespace {

const QEvent::Type kRunEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

TOncePerTurn::TOncePerTurn(std::function<void()> action, QObject* parent)
    : QObject(parent), action_(std::move(action)) {}

void TOncePerTurn::Request() {
  if (requested_) return;
  requested_ = true;
  QCoreApplication::postEvent(this, new QEvent(kRunEvent), Qt::LowEventPriority);
}

bool TOncePerTurn::event(QEvent* event) {
  if (event->type() != kRunEvent) return QObject::event(event);
  // Asked again from inside the action: queued once more.
  requested_ = false;
  // Out of a posted event, a failure goes to the application's handler, as one
  // from a socket notification does.
  winsys::CallGuarded(action_);
  return true;
}

}  // namespace toolkit
