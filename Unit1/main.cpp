// The program: the application object, the main window and the message loop
// until the main window is closed.
#include <QApplication>
#include <cstdio>
#include <exception>
#include <iostream>

#include "Unit1/exception_report.h"
#include "Unit1/unit1.h"
#include "platform/winsys/winsys.h"

namespace {

// The window, shown, until it closes.
void RunMainWindow(const unit1::TStartSettings& settings) {
  unit1::TForm1 Form1;
  unit1::InstallExceptionReport(&Form1);
  Form1.ApplyStartSettings(settings);
  Form1.show();
  winsys::Application().Run();
}

}  // namespace

int main(int argc, char** argv) {
  // Read before any window: a command line that cannot be used opens none.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const unit1::TCommandLine command_line = unit1::ParseCommandLine(arguments, std::cin);
  if (command_line.Action == unit1::TCommandLine::kRefuse) {
    std::fprintf(stderr, "ircclient: %s\n%s\n", command_line.Text.c_str(),
                 unit1::UsageHint().c_str());
    return 2;
  }
  if (command_line.Action != unit1::TCommandLine::kStart) {
    std::fputs(command_line.Text.c_str(), stdout);
    return 0;
  }
  // The toolkit sees no argument: the command line is the program's own.
  int toolkit_argc = 1;
  QApplication application(toolkit_argc, argv);
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("local.ircclient.testclient");
  try {
    RunMainWindow(command_line.Settings);
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
