// The program's report of an exception that no handler caught: a message box
// over the main window with the exception's message. The window stays usable.
#pragma once

#include <exception>

class QWidget;

namespace unit1 {

void ShowExceptionMessage(QWidget* window, const std::exception& error);
// Makes ShowExceptionMessage the application's central exception handler, which
// hears of what escapes the window's handlers and the socket notifications.
void InstallExceptionReport(QWidget* window);

}  // namespace unit1
