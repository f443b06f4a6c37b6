// Test entry point for tests that need a running Qt application object: the
// socket layer delivers its notifications through the Qt event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// The threads Qt's drawing borrows from its thread pool carry this name.
constexpr const char* kPooledThreadName = "Thread (pooled)";

int PooledThreadCount() {
  int count = 0;
  std::error_code ignored;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ignored)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    if (std::getline(comm, name) && name == kPooledThreadName) ++count;
  }
  return count;
}

// Qt ends its pool's threads from a static destructor but does not join them:
// one still ending when the leak check at exit runs leaves its thread data
// looking leaked, and the test aborts. Registered before any such thread
// exists, this handler runs after that destructor and lets them end first.
void WaitForPooledThreadsToEnd() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (PooledThreadCount() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::atexit(WaitForPooledThreadsToEnd);
  // ctest lists the tests by running the binary before the test environment applies:
  // without a display the application object would abort there.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
