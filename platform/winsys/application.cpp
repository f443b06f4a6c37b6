// The application object over Qt's event loop, and the blocking sleep.
#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

#include "platform/winsys/winsys.h"

namespace winsys {

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TApplication::Run() {
  if (terminated_) return;
  QEventLoop loop;
  running_loops_.push_back(&loop);
  loop.exec();
  running_loops_.pop_back();
}

void TApplication::Terminate() {
  terminated_ = true;
  // Every Run in progress ends, the outer ones as soon as control returns to them.
  for (QEventLoop* loop : running_loops_) loop->exit();
}

void TApplication::HandleException(const std::exception& error) noexcept {
  if (exception_handler_) {
    try {
      exception_handler_(error);
      return;
    } catch (const std::exception& failure) {
      std::fprintf(stderr, "Exception handler failed: %s\n", failure.what());
    } catch (...) {
      std::fprintf(stderr, "Exception handler failed\n");
    }
  }
  std::fprintf(stderr, "%s\n", error.what());
}

TApplication::ExceptionHandler TApplication::SetExceptionHandler(ExceptionHandler handler) {
  return std::exchange(exception_handler_, std::move(handler));
}

void Sleep(unsigned ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace winsys
