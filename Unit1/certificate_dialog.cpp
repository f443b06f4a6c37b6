// The certificate question: its texts, the fingerprint's field and the two
// answers.
#include "Unit1/certificate_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

TCertificateDialog::TCertificateDialog(QWidget* parent, const std::string& host_and_port,
                                       const tls::TTlsFacts& facts)
    : QDialog(parent) {
  setWindowTitle("Certificate not trusted");
  setAccessibleDescription(toolkit::DisplayText(Text(host_and_port, facts)));
  auto* layout = new QVBoxLayout(this);
  const auto add_text = [&](const std::string& shown) {
    auto* text = new QLabel(toolkit::DisplayText(shown), this);
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Read as it stands, facts and all.
    text->setAccessibleName(text->text());
    layout->addWidget(text);
  };
  add_text(Facts(host_and_port, facts));
  auto* fingerprint_row = new QFormLayout;
  fingerprint_ = new QLineEdit(toolkit::DisplayText(facts.Fingerprint), this);
  fingerprint_->setReadOnly(true);
  fingerprint_->setAccessibleName("SHA-256 fingerprint");
  fingerprint_->setCursorPosition(0);
  auto* fingerprint_label = new QLabel("SHA-256 &fingerprint:", this);
  fingerprint_label->setBuddy(fingerprint_);
  fingerprint_row->addRow(fingerprint_label, fingerprint_);
  layout->addLayout(fingerprint_row);
  add_text(Consequence(host_and_port));
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

std::string TCertificateDialog::Facts(const std::string& host_and_port,
                                      const tls::TTlsFacts& facts) {
  return "The certificate of " + host_and_port + " is not trusted: " + facts.VerifyError +
         ".\n\nSubject: " + facts.Subject + "\nIssuer: " + facts.Issuer +
         "\nValid from: " + facts.NotBefore + "\nValid until: " + facts.NotAfter;
}

std::string TCertificateDialog::Consequence(const std::string& host_and_port) {
  return "Connect anyway trusts this certificate for " + host_and_port + " until the program ends.";
}

std::string TCertificateDialog::Text(const std::string& host_and_port,
                                     const tls::TTlsFacts& facts) {
  return Facts(host_and_port, facts) + "\nSHA-256 fingerprint: " + facts.Fingerprint + "\n\n" +
         Consequence(host_and_port);
}

}  // namespace unit1
