// The question a certificate that the verifier did not accept puts to the user:
// why, in the verifier's words, and the certificate's facts, with "Connect
// anyway" and "Cancel". It is shown without a loop of its own, so the
// connection keeps being watched while it waits. A screen reader hears every
// fact in order (the dialog's description holds them all), and the
// fingerprint sits in a field of its own that the keyboard selects and copies.
#pragma once

#include <QDialog>

#include "tls/tls_facts.h"

class QLineEdit;
class QPushButton;

namespace unit1 {

class TCertificateDialog : public QDialog {
 public:
  TCertificateDialog(QWidget* parent, const std::string& host_and_port,
                     const tls::TTlsFacts& facts);

  QPushButton* ConnectAnyway() const { return connect_anyway_; }
  QPushButton* Cancel() const { return cancel_; }
  QLineEdit* Fingerprint() const { return fingerprint_; }

  // The dialog's text: why, then subject, issuer, validity and fingerprint.
  static std::string Text(const std::string& host_and_port, const tls::TTlsFacts& facts);

 private:
  // The text above the fingerprint, and below it.
  static std::string Facts(const std::string& host_and_port, const tls::TTlsFacts& facts);
  static std::string Consequence(const std::string& host_and_port);

  QLineEdit* fingerprint_;
  QPushButton* connect_anyway_;
  QPushButton* cancel_;
};

}  // namespace unit1
