// Test entry point for tests that need a running Qt application object: the
// socket layer delivers its notifications through the Qt event loop.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
