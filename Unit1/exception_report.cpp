// The program's report of an uncaught exception, in a message box.
#include "Unit1/exception_report.h"

#include <QMessageBox>
#include <QPointer>

#include "platform/toolkit/text_codec.h"
#include "platform/winsys/winsys.h"

namespace unit1 {

void ShowExceptionMessage(QWidget* window, const std::exception& error) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("IRC - Test Client"),
                  toolkit::DisplayText(error.what()), QMessageBox::Ok, window);
  box.exec();
}

void InstallExceptionReport(QWidget* window) {
  // The window may go before the last report: then the box stands alone.
  QPointer<QWidget> owner(window);
  winsys::Application().SetExceptionHandler(
      [owner](const std::exception& error) { ShowExceptionMessage(owner.data(), error); });
}

}  // namespace unit1
