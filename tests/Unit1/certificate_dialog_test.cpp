// The certificate question read aloud: every fact in order in its accessible
// text, and the fingerprint reached, selected and copied with the keyboard.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "Unit1/certificate_dialog.h"

namespace unit1 {
namespace {

TEST(CertificateDialog, ReadsEveryFactInOrderAndTheKeyboardCopiesTheFingerprint) {
  TCertificateDialog dialog(nullptr, "127.0.0.1:6697",
                            {.Protocol = {},
                             .Cipher = {},
                             .Subject = "CN = localhost",
                             .Issuer = "CN = Test CA",
                             .NotBefore = "2026-12-07 21:51:17 UTC",
                             .NotAfter = "2027-01-06 21:51:17 UTC",
                             .Fingerprint = "AB:CD:01:23",
                             .VerifyError = "self-signed certificate; does not match 127.0.0.1"});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const QString read =
      QAccessible::queryAccessibleInterface(&dialog)->text(QAccessible::Description);
  qsizetype at = 0;
  for (const char* fact :
       {"self-signed certificate", "does not match 127.0.0.1", "CN = localhost", "CN = Test CA",
        "2026-12-07 21:51:17 UTC", "2027-01-06 21:51:17 UTC", "AB:CD:01:23"}) {
    const qsizetype found = read.indexOf(fact, at);
    EXPECT_GE(found, at) << fact << " in " << read.toStdString();
    at = std::max(at, found);
  }
  // What shows is read as it stands, not as a name standing for it.
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) continue;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), label->text());
  }
  EXPECT_TRUE(dialog.findChildren<QLabel*>().front()->text().contains("CN = Test CA"));

  // Cancel has the focus; Alt+F reaches the fingerprint, and the keys that
  // select and copy work there.
  EXPECT_TRUE(dialog.Cancel()->hasFocus());
  QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(dialog.Fingerprint()->hasFocus());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog.Fingerprint())->text(QAccessible::Value),
            "AB:CD:01:23");
  QApplication::clipboard()->clear();
  QTest::keyClick(dialog.Fingerprint(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(dialog.Fingerprint(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "AB:CD:01:23");
  EXPECT_EQ(dialog.Fingerprint()->text(), "AB:CD:01:23") << "read only";
}

}  // namespace
}  // namespace unit1
