// Test entry point for tests that need a running Qt application object: the
// socket layer delivers its notifications through the Qt event loop.
#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
  // ctest lists the tests by running the binary before the test environment applies:
  // without a display the application object would abort there.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
