// The question a certificate that the verifier did not accept puts to the user:
// why, in the verifier's words, and the certificate's facts, with "Connect
// anyway" and "Cancel". It is shown without a loop of its own, so the
// connection keeps being watched while it waits.
#pragma once

#include <QDialog>

#include "tls/tls_facts.h"

class QPushButton;

namespace unit1 {

class TCertificateDialog : public QDialog {
 public:
  TCertificateDialog(QWidget* parent, const std::string& host_and_port,
                     const tls::TTlsFacts& facts);

  QPushButton* ConnectAnyway() const { return connect_anyway_; }
  QPushButton* Cancel() const { return cancel_; }

  // The dialog's text: why, then subject, issuer, validity and fingerprint.
  static std::string Text(const std::string& host_and_port, const tls::TTlsFacts& facts);

 private:
  QPushButton* connect_anyway_;
  QPushButton* cancel_;
};

}  // namespace unit1
