// The window's side of the command line: its settings put into the fields and
// the identity as if typed, Connect pressed for the user, and on each
// connection the script once registered, Join once enabled, and the pinned
// certificates in place of the question about an untrusted one.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "Unit1/protocol_line.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"
#include "platform/winsys/guarded_call.h"
#include "tls/tls_line_socket.h"

namespace unit1 {

void TForm1::ApplyStartSettings(const TStartSettings& settings) {
  start_settings_ = settings;
  if (settings.Server) ircServer->setText(toolkit::DisplayText(*settings.Server));
  // Checked as a click checks it: the box puts its port in, a given port follows.
  if (settings.Tls && !cbTls->isChecked()) {
    cbTls->setChecked(true);
    cbTlsClick();
  }
  if (settings.Port) {
    ircPort->setText(toolkit::DisplayText(*settings.Port));
    port_typed_ = true;
  }
  if (settings.Channel) ircChannel->setText(toolkit::DisplayText(*settings.Channel));
  Identity = settings.Identity;
  // The connect waits for look-ups while the loop runs: it starts from the loop.
  if (settings.Connect) {
    QTimer::singleShot(0, this, [this] { winsys::CallGuarded([this] { btnConnectClick(); }); });
  }
}

void TForm1::CommandLineConnected() {
  script_started_ = false;
  auto_joined_ = false;
  // Registering by hand, the script is the registration.
  if (Identity.Registration == TRegistrationKind::rkByHand) CommandLineRegistered();
}

// Each line goes the way of a line typed in Commands; the first that cannot go
// out stops the script, and the log pane says which and why.
void TForm1::CommandLineRegistered() {
  if (script_started_ || start_settings_.Script.Lines.empty()) return;
  script_started_ = true;
  script_runner_.Start(
      start_settings_.Script,
      [this](const std::string& line) {
        const std::string_view text = FirstLine(line);
        std::optional<std::string> why = WriteOut(text, true);
        if (why) RecordLine(TRawDirection::rdNote, "Not sent (" + *why + "): " + std::string(text));
        return why;
      },
      [this](const TScriptLine& line, const std::string& why) {
        AddLogLine("Script stopped at line " + std::to_string(line.Number) + ": " + why);
      });
}

void TForm1::CommandLineJoinEnabled() {
  if (!start_settings_.JoinOnConnect || auto_joined_) return;
  auto_joined_ = true;
  btnJoinClick();
}

bool TForm1::CommandLinePinnedCertificate(tls::TTlsLineSocket& Socket,
                                          const tls::TTlsFacts& Facts) {
  const std::vector<std::string>& pinned = start_settings_.TrustedFingerprints;
  if (pinned.empty()) return false;
  if (std::find(pinned.begin(), pinned.end(), Facts.Fingerprint) != pinned.end()) {
    RecordLine(TRawDirection::rdNote, "Certificate pinned on the command line: accepted");
    Socket.Proceed();
    return true;
  }
  const std::string refusal =
      "The server's certificate matches none of the trusted fingerprints: " + Facts.Fingerprint;
  AddLogLine(refusal);
  RecordLine(TRawDirection::rdNote, refusal);
  ResetConnection();
  return true;
}

}  // namespace unit1
