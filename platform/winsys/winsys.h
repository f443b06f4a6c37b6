// Window-system services for the socket layer: hidden windows with a message
// procedure, posted messages, the application object and a periodic timer.
// One event loop serves the whole program (Qt's); everything here is used on
// the loop's thread except PostMessage, which any thread may call.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

namespace winsys {

using HWND = std::uintptr_t;  // 0 is no window
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window's message procedure. Exceptions must not leave it: the loop has no
// one to hand them to (callers wrap their work in Application().HandleException).
using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Creates a hidden window whose messages go to `proc`. Never returns 0.
HWND AllocateHWnd(WindowProc proc);
// Destroys the window; messages still queued for it are dropped.
void DeallocateHWnd(HWND window);
bool IsWindow(HWND window);

// Queues a message for `window`, delivered later on the loop's thread in posting
// order (across all windows). Safe from any thread. False when the window does
// not exist at the time of posting.
bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure at once (on the loop's thread); 0 for no window.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// The default window procedure: handles nothing and returns 0.
LRESULT DefWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// The application object. Needs a QCoreApplication (or QApplication) to exist.
class TApplication {
 public:
  using ExceptionHandler = std::function<void(const std::exception&)>;

  // Handles every pending event, user input included, and returns.
  void ProcessMessages();
  // Runs the loop until Terminate() is called.
  void Run();
  // Asks the loop to end; Terminated() is true from now on.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Clears the terminate request, so that a test can run the loop again.
  void ResetTerminated() { terminated_ = false; }

  // Reports an exception caught at the edge of a message handler. Without a
  // handler of its own the message is written to standard error.
  void HandleException(const std::exception& error);
  // Replaces the handler; returns the previous one.
  ExceptionHandler SetExceptionHandler(ExceptionHandler handler);

 private:
  bool terminated_ = false;
  ExceptionHandler exception_handler_;
};

TApplication& Application();

// A periodic timer on the loop's thread; the handler runs every `interval_ms`
// while the timer is enabled.
class TTimer {
 public:
  explicit TTimer(unsigned interval_ms = 1000, std::function<void()> handler = {});
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetInterval(unsigned interval_ms);
  void SetHandler(std::function<void()> handler);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Blocks the calling thread for `ms` milliseconds without processing messages.
void Sleep(unsigned ms);

}  // namespace winsys
