// The time-out of socket controls: one timer, ticking every second, serves every
// control whose time-out runs; those controls form a list.
#include <utility>
#include <vector>

#include "platform/winsys/winsys.h"
#include "sockets/sock_ctrl.h"

namespace sockets {
namespace {

TSockCtrl* timed_head = nullptr;
int timed_count = 0;

}  // namespace

// Serves the list from its tail back to its head. Taken as a snapshot first: a
// handler may stop, start or destroy any control of the list meanwhile.
void ServeTimedControls() {
  std::vector<std::pair<TSockCtrl*, TLiveness::TWatch>> controls;
  for (TSockCtrl* control = timed_head; control != nullptr; control = control->TimeOutNext_) {
    controls.emplace_back(control, control->Watch());
  }
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
    if (it->second && it->first->InTimerList_) it->first->TimeOutTick();
  }
}

namespace {

// Created on first use and never destroyed, so that no destructor runs it after
// the application object's event loop has gone.
winsys::TTimer& SharedTimer() {
  static auto* timer = new winsys::TTimer(1000, ServeTimedControls);
  return *timer;
}

}  // namespace

void TSockCtrl::StartTimeOut() {
  if (Designing() || TimeOut_ == 0 || !OnTimeOut) return;
  // A control is listed once: starting again restarts the count.
  StopTimeOut();
  winsys::TTimer& timer = SharedTimer();
  TimeOutPrev_ = nullptr;
  TimeOutNext_ = timed_head;
  if (timed_head != nullptr) timed_head->TimeOutPrev_ = this;
  timed_head = this;
  InTimerList_ = true;
  TimeOutCount_ = TimeOut_;
  ++timed_count;
  TimedOut_ = false;
  if (timed_count == 1) timer.SetEnabled(true);
}

void TSockCtrl::StopTimeOut() {
  if (Designing() || !InTimerList_) return;
  if (TimeOutPrev_ != nullptr) {
    TimeOutPrev_->TimeOutNext_ = TimeOutNext_;
  } else {
    timed_head = TimeOutNext_;
  }
  if (TimeOutNext_ != nullptr) TimeOutNext_->TimeOutPrev_ = TimeOutPrev_;
  --timed_count;
  InTimerList_ = false;
  if (timed_count == 0) SharedTimer().SetEnabled(false);
  TimeOutPrev_ = nullptr;
  TimeOutNext_ = nullptr;
}

void TSockCtrl::TimeOutTick() {
  if (TimeOutCount_ <= 0 || --TimeOutCount_ != 0) return;
  const TLiveness::TWatch alive = Watch();
  StopTimeOut();
  SocketInfo(GetSocket(), siTimedOut);
  if (!alive) return;
  TSocketBase* socket = Socket_.get();
  SocketTimeOut(socket);
}

}  // namespace sockets
