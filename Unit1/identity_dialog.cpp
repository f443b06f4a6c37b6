// The identity dialog's entries, their labels and names, and its check.
#include "Unit1/identity_dialog.h"

#include <QAccessible>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

// The choices in the order of their enumerations.
const char* const kRegistrations[] = {"Automatic", "SASL", "By hand"};
const char* const kMechanisms[] = {"PLAIN", "EXTERNAL"};

QLineEdit* NewEntry(const std::string& text, const char* name, bool masked = false) {
  auto* edit = new QLineEdit(toolkit::DisplayText(text));
  edit->setAccessibleName(name);
  if (masked) edit->setEchoMode(QLineEdit::Password);
  return edit;
}

QComboBox* NewChoice(const char* const* choices, int count, int chosen, const char* name) {
  auto* box = new QComboBox;
  for (int i = 0; i < count; ++i) box->addItem(choices[i]);
  box->setCurrentIndex(chosen);
  box->setAccessibleName(name);
  return box;
}

std::string TextOf(const QLineEdit* edit) {
  return toolkit::TypedText(edit->text());
}

}  // namespace

TIdentityDialog::TIdentityDialog(const TIdentity& identity, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Identity");
  edtNickName = NewEntry(identity.NickName, "Nickname");
  edtUserName = NewEntry(identity.UserName, "User name");
  edtPassword = NewEntry(identity.Password, "Server password", true);
  edtSaslAccount = NewEntry(identity.SaslAccount, "SASL account");
  edtSaslPassword = NewEntry(identity.SaslPassword, "SASL password", true);
  cbxRegistration = NewChoice(kRegistrations, int(std::size(kRegistrations)),
                              int(identity.Registration), "Registration");
  cbxSaslMechanism = NewChoice(kMechanisms, int(std::size(kMechanisms)),
                               int(identity.SaslMechanism), "SASL mechanism");
  edtCertificate = NewEntry(identity.ClientCertificateFile, "Client certificate file");
  btnCertificate = new QPushButton("&Browse…");
  btnCertificate->setAccessibleName("Browse for the client certificate file");
  edtKey = NewEntry(identity.ClientKeyFile, "Client key file");
  btnKey = new QPushButton("Br&owse…");
  btnKey->setAccessibleName("Browse for the client key file");
  lblProblem = new QLabel;
  lblProblem->setAccessibleName("Problem");
  lblProblem->setStyleSheet("color: #b00000");
  lblProblem->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

  auto* grid = new QGridLayout(this);
  const std::pair<const char*, QWidget*> rows[] = {
      {"&Nickname:", edtNickName},
      {"&User name:", edtUserName},
      {"Server pass&word:", edtPassword},
      {"&Registration:", cbxRegistration},
      {"SASL &account:", edtSaslAccount},
      {"SASL pa&ssword:", edtSaslPassword},
      {"SASL &mechanism:", cbxSaslMechanism},
      {"Client &certificate:", edtCertificate},
      {"Client &key:", edtKey},
  };
  int row = 0;
  for (const auto& [caption, entry] : rows) {
    auto* label = new QLabel(caption);
    label->setBuddy(entry);
    grid->addWidget(label, row, 0);
    grid->addWidget(entry, row, 1);
    ++row;
  }
  grid->addWidget(btnCertificate, 7, 2);
  grid->addWidget(btnKey, 8, 2);
  grid->addWidget(lblProblem, row++, 0, 1, 3);
  grid->addWidget(buttons, row, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  edtCertificate->setMinimumWidth(260);

  connect(btnCertificate, &QPushButton::clicked, this,
          [this] { Browse(edtCertificate, "Client certificate"); });
  connect(btnKey, &QPushButton::clicked, this, [this] { Browse(edtKey, "Client key"); });
  connect(buttons, &QDialogButtonBox::accepted, this, &TIdentityDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TIdentityDialog::reject);
  // Tab goes down the entries as they stand, each Browse button after its line,
  // then to OK and Cancel.
  QWidget* const chain[] = {edtNickName,      edtUserName,    edtPassword,
                            cbxRegistration,  edtSaslAccount, edtSaslPassword,
                            cbxSaslMechanism, edtCertificate, btnCertificate,
                            edtKey,           btnKey};
  for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

TIdentity TIdentityDialog::Identity() const {
  TIdentity identity;
  identity.NickName = TextOf(edtNickName);
  identity.UserName = TextOf(edtUserName);
  identity.Password = TextOf(edtPassword);
  identity.SaslAccount = TextOf(edtSaslAccount);
  identity.SaslPassword = TextOf(edtSaslPassword);
  identity.Registration = TRegistrationKind(cbxRegistration->currentIndex());
  identity.SaslMechanism = TSaslMechanism(cbxSaslMechanism->currentIndex());
  identity.ClientCertificateFile = TextOf(edtCertificate);
  identity.ClientKeyFile = TextOf(edtKey);
  return identity;
}

void TIdentityDialog::accept() {
  const std::string problem = IdentityProblem(Identity());
  if (problem.empty()) {
    QDialog::accept();
    return;
  }
  lblProblem->setText(toolkit::DisplayText(problem));
  lblProblem->show();
  // A screen reader hears why the dialog stayed open.
  QAccessibleEvent alert(lblProblem, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

void TIdentityDialog::Browse(QLineEdit* edit, const QString& title) {
  const QString file = QFileDialog::getOpenFileName(this, title, edit->text(),
                                                    "Certificates and keys (*.pem *.crt *.key);;"
                                                    "All files (*)");
  if (!file.isEmpty()) edit->setText(file);
}

}  // namespace unit1
