// The program: the application object, the main window and the message loop
// until the main window is closed.
#include <QApplication>
#include <cstdio>
#include <exception>

#include "Unit1/exception_report.h"
#include "Unit1/unit1.h"
#include "platform/winsys/winsys.h"

namespace {

// The window, shown, until it closes.
void RunMainWindow() {
  unit1::TForm1 Form1;
  unit1::InstallExceptionReport(&Form1);
  Form1.show();
  winsys::Application().Run();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("local.ircclient.testclient");
  try {
    RunMainWindow();
  } catch (const std::exception& error) {
    // The window could not be made, for one when its socket library cannot be
    // loaded. The reason goes to the terminal and, since a program started from
    // the menu has none, into a box.
    std::fprintf(stderr, "%s\n", error.what());
    unit1::ShowExceptionMessage(nullptr, error);
    return 1;
  }
  return 0;
}
