// The program's command line: ircclient [OPTIONS] [URL]. Parsing gives the
// settings the window starts with, or the text to print instead of a window;
// it reads the files the options name, so that a file that cannot be read
// stops the program before any window opens. The window only applies the result.
#pragma once

#include <QStringList>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "Unit1/connect_script.h"
#include "Unit1/identity.h"

namespace unit1 {

// What the window starts with; what is not set stays as the window has it.
struct TStartSettings {
  std::optional<std::string> Server;
  std::optional<std::string> Port;
  std::optional<std::string> Channel;
  bool Tls = false;
  TIdentity Identity;
  // Connect at start, and join the channel once Join is enabled.
  bool Connect = false;
  bool JoinOnConnect = false;
  // SHA-256 fingerprints as the TLS layer writes them: colon-separated
  // upper-case hex pairs. When any is given, only these certificates pass.
  std::vector<std::string> TrustedFingerprints;
  TConnectScript Script;

  bool operator==(const TStartSettings&) const = default;
};

struct TCommandLine {
  enum TAction { kStart, kShowHelp, kShowVersion, kRefuse };
  TAction Action = kStart;
  // The help or version text; or the problem, in one sentence.
  std::string Text;
  TStartSettings Settings;
};

// `arguments` begins with the program's name. A FILE of "-" reads
// `standard_input`: a password its next line, a script the rest of it.
TCommandLine ParseCommandLine(const QStringList& arguments, std::istream& standard_input);

// The line printed after a problem.
std::string UsageHint();

// The fingerprint as the TLS layer writes it, or empty when it is none.
std::string NormalFingerprint(const std::string& text);

}  // namespace unit1
