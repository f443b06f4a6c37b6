// Posted messages, re-entrant processing, exceptions at the delivery edge, the
// loop's end and the timer.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/winsys/winsys.h"
#include "tests/support/wait_until.h"

namespace winsys {
namespace {

using Delivered = std::vector<std::pair<HWND, UINT>>;

// A window that records what it receives; destroyed with the test.
struct RecordingWindow {
  explicit RecordingWindow(Delivered& log)
      : handle(AllocateHWnd([&log](HWND window, UINT msg, WPARAM, LPARAM) {
          log.emplace_back(window, msg);
          return 0;
        })) {}
  ~RecordingWindow() { DeallocateHWnd(handle); }
  HWND handle;
};

// Messages to a window that is then destroyed are dropped in between, and its
// handle never comes back.
TEST(Messages, AreDeliveredInPostingOrderAcrossWindowsAndDroppedForADestroyedOne) {
  Delivered log, expected;
  RecordingWindow a(log), b(log);
  int stale_calls = 0;
  HWND doomed = AllocateHWnd([&](HWND, UINT, WPARAM, LPARAM) { return ++stale_calls; });
  for (UINT msg = 0; msg < 100; ++msg) {
    HWND target = msg % 3 ? a.handle : b.handle;
    ASSERT_TRUE(PostMessage(target, msg, 0, 0));
    ASSERT_TRUE(PostMessage(doomed, msg, 0, 0));
    expected.emplace_back(target, msg);
  }
  EXPECT_TRUE(log.empty()) << "posting must not call the procedure";
  DeallocateHWnd(doomed);
  EXPECT_FALSE(IsWindow(doomed));
  EXPECT_FALSE(PostMessage(doomed, 2, 0, 0));
  RecordingWindow successor(log);
  EXPECT_NE(successor.handle, doomed);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return log.size() >= expected.size(); }));
  EXPECT_EQ(stale_calls, 0);
  EXPECT_EQ(log, expected);
}

TEST(Messages, FromWorkerThreadsKeepEachThreadsOrder) {
  constexpr int kPerThread = 2000;
  std::vector<LPARAM> received[2];
  HWND window = AllocateHWnd([&](HWND, UINT, WPARAM thread, LPARAM seq) {
    received[thread].push_back(seq);
    return 0;
  });
  auto post_all = [window](WPARAM thread) {
    for (LPARAM seq = 0; seq < kPerThread; ++seq) PostMessage(window, 1, thread, seq);
  };
  std::thread first(post_all, 0), second(post_all, 1);
  first.join();
  second.join();
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return received[0].size() + received[1].size() == 2 * kPerThread; }));
  for (auto& sequence : received) {
    ASSERT_EQ(sequence.size(), size_t(kPerThread));
    for (LPARAM seq = 0; seq < kPerThread; ++seq) ASSERT_EQ(sequence[seq], seq);
  }
  DeallocateHWnd(window);
}

TEST(ProcessMessages, RunsLaterMessagesInsideAHandler) {
  std::vector<std::string> log;
  HWND window = 0;
  window = AllocateHWnd([&](HWND, UINT msg, WPARAM, LPARAM) {
    if (msg != 1) {
      log.push_back(std::to_string(msg));
      return 0;
    }
    log.push_back("1 begins");
    PostMessage(window, 2, 0, 0);
    Application().ProcessMessages();
    log.push_back("1 ends");
    return 0;
  });
  PostMessage(window, 1, 0, 0);
  PostMessage(window, 3, 0, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return log.size() == 4; }));
  EXPECT_EQ(log, (std::vector<std::string>{"1 begins", "3", "2", "1 ends"}));
  DeallocateHWnd(window);
}

// A timer that throws ticks on, and stops once disabled.
TEST(HandleException, GetsExceptionsOfProceduresAndTimersAndTheLoopGoesOn) {
  std::vector<std::string> reported;
  auto previous = Application().SetExceptionHandler(
      [&](const std::exception& e) { reported.push_back(e.what()); });
  bool after = false;
  HWND window = AllocateHWnd([&](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == 1) throw std::runtime_error("from a procedure");
    if (msg == 2) throw 42;
    after = true;
    return 0;
  });
  for (UINT msg : {1, 2, 3}) PostMessage(window, msg, 0, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return after; }));
  TTimer timer(1, [] { throw std::runtime_error("from a timer"); });
  ASSERT_TRUE(testsupport::WaitUntil([&] { return reported.size() >= 4; }));
  timer.SetEnabled(false);
  EXPECT_EQ(std::vector(reported.begin(), reported.begin() + 4),
            (std::vector<std::string>{"from a procedure", "Unknown exception", "from a timer",
                                      "from a timer"}));
  const std::size_t when_disabled = reported.size();
  int clock = 0;
  TTimer reference(5, [&] { ++clock; });
  ASSERT_TRUE(testsupport::WaitUntil([&] { return clock >= 10; }));
  EXPECT_EQ(reported.size(), when_disabled);
  DeallocateHWnd(window);
  Application().SetExceptionHandler(std::move(previous));
}

TEST(Run, EndsWhenAHandlerTerminates) {
  bool handled = false;
  HWND window = AllocateHWnd([&](HWND, UINT, WPARAM, LPARAM) {
    handled = true;
    Application().Terminate();
    return 0;
  });
  PostMessage(window, 1, 0, 0);
  Application().Run();
  EXPECT_TRUE(handled);
  EXPECT_TRUE(Application().Terminated());
  Application().Run();  // returns at once: the request stands
  Application().ResetTerminated();
  DeallocateHWnd(window);
}

}  // namespace
}  // namespace winsys
