// The identity dialog (File > Identity…): nickname, user name, server password,
// the SASL account, the registration and the client certificate, for the next
// Connect. A value that cannot be used gets a message in the dialog, which then
// stays open and changes nothing.
#pragma once

#include <QDialog>

#include "Unit1/identity.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace unit1 {

class TIdentityDialog : public QDialog {
 public:
  TIdentityDialog(const TIdentity& identity, QWidget* parent = nullptr);

  // What the entries hold now.
  TIdentity Identity() const;
  // Closes with the entries' identity when it can be used; else shows why not.
  void accept() override;

  QLineEdit* edtNickName;
  QLineEdit* edtUserName;
  QLineEdit* edtPassword;
  QLineEdit* edtSaslAccount;
  QLineEdit* edtSaslPassword;
  QComboBox* cbxRegistration;
  QComboBox* cbxSaslMechanism;
  QLineEdit* edtCertificate;
  QPushButton* btnCertificate;
  QLineEdit* edtKey;
  QPushButton* btnKey;
  // Why the entries cannot be used; hidden while they can.
  QLabel* lblProblem;

 private:
  void Browse(QLineEdit* edit, const QString& title);
};

}  // namespace unit1
