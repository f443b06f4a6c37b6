// Window-system services for the socket layer: hidden windows with a message
// procedure, posted messages, the application object and a periodic timer.
// One event loop serves the whole program (Qt's); everything here is used on
// the loop's thread except PostMessage, which any thread may call.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;

namespace winsys {

using HWND = std::uintptr_t;  // 0 is no window
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window's message procedure. An exception that leaves it while a posted
// message is delivered goes to Application().HandleException and the loop goes
// on; SendMessage lets it through to its caller.
using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Creates a hidden window whose messages go to `proc`. Never returns 0, and never
// returns a handle that was used before in this process, so a message left over
// for a destroyed window cannot reach a new one.
HWND AllocateHWnd(WindowProc proc);
// Destroys the window; messages still queued for it are dropped.
void DeallocateHWnd(HWND window);
bool IsWindow(HWND window);

// Queues a message for `window`, delivered later on the loop's thread in posting
// order (across all windows), behind repaints already waiting. Safe from any
// thread. False when the window does not exist at the time of posting.
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
  // Like ProcessMessages, but first waits for an event when none is pending, so
  // that a loop waiting for some condition costs no CPU while nothing happens.
  void HandleMessage();
  // Runs the loop until Terminate() is called; returns at once when it was.
  void Run();
  // Asks the loop to end; Terminated() is true from now on.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Clears the terminate request, so that a test can run the loop again.
  void ResetTerminated() { terminated_ = false; }

  // Reports an exception caught at the edge of a message handler. Without a
  // handler of its own the message is written to standard error. Never throws.
  void HandleException(const std::exception& error) noexcept;
  // Replaces the handler; returns the previous one.
  ExceptionHandler SetExceptionHandler(ExceptionHandler handler);

 private:
  bool terminated_ = false;
  ExceptionHandler exception_handler_;
  std::vector<QEventLoop*> running_loops_;  // the loops of Run, innermost last
};

TApplication& Application();

// A periodic timer on the loop's thread; the handler runs every `interval_ms`
// while the timer is enabled (it is after construction). Exceptions from the
// handler go to Application().HandleException.
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
