// The program: the application object, the main window and the message loop
// until the main window is closed.
#include <QApplication>

#include "Unit1/exception_report.h"
#include "Unit1/unit1.h"
#include "platform/winsys/winsys.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  unit1::TForm1 Form1;
  unit1::InstallExceptionReport(&Form1);
  Form1.show();
  winsys::Application().Run();
  return 0;
}
