// The program's command line: optionally a server, and its port, to connect to
// as soon as the window is up. Without arguments the window waits for Connect.
#pragma once

#include <QString>
#include <QStringList>

namespace unit1 {

class TForm1;

constexpr const char* kCommandLineUsage = "usage: ircclient [SERVER [PORT]]\n";

struct TCommandLine {
  bool Valid = true;  // false: print the usage and end
  QString Server;     // empty: connect nowhere at start
  QString Port;       // empty: the window's own port
};

// The arguments after the program's name, with Qt's own options already taken out.
TCommandLine ParseCommandLine(const QStringList& arguments);

// Puts the server and port into the top row and presses Connect, exactly as a user
// would; does nothing when no server was given.
void ConnectAtStart(TForm1& form, const TCommandLine& command_line);

}  // namespace unit1
