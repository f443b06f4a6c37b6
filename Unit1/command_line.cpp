// Reading the command line and connecting at start.
#include "Unit1/command_line.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "Unit1/unit1.h"

namespace unit1 {

TCommandLine ParseCommandLine(const QStringList& arguments) {
  TCommandLine result;
  // Anything that looks like an option (--help included) is answered with the
  // usage rather than taken for a host name.
  const bool has_option = std::any_of(arguments.begin(), arguments.end(), [](const QString& a) {
    return a.startsWith(QLatin1Char('-'));
  });
  if (arguments.size() > 2 || has_option) {
    result.Valid = false;
    return result;
  }
  if (arguments.size() >= 1) result.Server = arguments[0];
  if (arguments.size() == 2) result.Port = arguments[1];
  return result;
}

void ConnectAtStart(TForm1& form, const TCommandLine& command_line) {
  if (command_line.Server.isEmpty()) return;
  form.ircServer->setText(command_line.Server);
  if (!command_line.Port.isEmpty()) form.ircPort->setText(command_line.Port);
  // Through the button, so that a failure is reported as a click's would be.
  form.btnConnect->click();
}

}  // namespace unit1
