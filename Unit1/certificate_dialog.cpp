#include "Unit1/certificate_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

TCertificateDialog::TCertificateDialog(QWidget* parent, const std::string& host_and_port,
                                       const tls::TTlsFacts& facts)
    : QDialog(parent) {
  setWindowTitle("Certificate not trusted");
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(toolkit::DisplayText(Text(host_and_port, facts)), this);
  text->setTextFormat(Qt::PlainText);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text->setAccessibleName("Certificate");
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(this);
  connect_anyway_ = buttons->addButton("Connect &anyway", QDialogButtonBox::AcceptRole);
  cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
  cancel_->setText("Cancel");
  // The safe answer is the one Return gives.
  cancel_->setDefault(true);
  cancel_->setFocus();
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::string TCertificateDialog::Text(const std::string& host_and_port,
                                     const tls::TTlsFacts& facts) {
  return "The certificate of " + host_and_port + " is not trusted: " + facts.VerifyError +
         ".\n\nSubject: " + facts.Subject + "\nIssuer: " + facts.Issuer +
         "\nValid from: " + facts.NotBefore + "\nValid until: " + facts.NotAfter +
         "\nSHA-256 fingerprint: " + facts.Fingerprint +
         "\n\nConnect anyway trusts this certificate for " + host_and_port +
         " until the program ends.";
}

}  // namespace unit1
