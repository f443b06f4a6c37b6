// The window over TLS: the check box and its port, a real TLS server, the
// question about a certificate that is not trusted (refused, accepted, then
// not asked again), the client certificate, and the wrong-port failures.
#include <QCheckBox>
#include <QLabel>
#include <cstdlib>

#include "Unit1/certificate_dialog.h"
#include "tests/Unit1/form_fixture.h"
#include "tests/support/ircd_fixture.h"
#include "tests/support/test_certificates.h"
#include "tests/support/tls_front.h"
#include "tls/tls_line_socket.h"

namespace unit1 {
namespace {

using testsupport::IrcdFixture;
using testsupport::LoopbackSocket;
using testsupport::TestCertificates;
using testsupport::TlsFront;
using testsupport::WaitUntil;

class TlsFormTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    // The test CA stands in for the system's trusted certificates.
    setenv("SSL_CERT_FILE", certificates_.CaFile().c_str(), 1);
  }

  void ConnectWithTls(std::uint16_t port) {
    if (!form_.cbTls->isChecked()) QTest::keyClick(form_.cbTls, Qt::Key_Space);
    ConnectTo(port);
  }
  TCertificateDialog* Question() const { return form_.findChild<TCertificateDialog*>(); }

  TestCertificates certificates_;
};

TEST_F(TlsFormTest, TheBoxMovesOnlyTheDefaultPort) {
  EXPECT_EQ(form_.cbTls->accessibleName(), "TLS");
  EXPECT_EQ(form_.ircPort->text(), "7000");
  QTest::keyClick(form_.cbTls, Qt::Key_Space);
  EXPECT_EQ(form_.ircPort->text(), "6697");
  QTest::keyClick(form_.cbTls, Qt::Key_Space);
  EXPECT_EQ(form_.ircPort->text(), "7000");
  Type(form_.ircPort, "6697");
  QTest::keyClick(form_.cbTls, Qt::Key_Space);
  QTest::keyClick(form_.cbTls, Qt::Key_Space);
  EXPECT_EQ(form_.ircPort->text(), "6697");
}

TEST_F(TlsFormTest, RegistersWithARealTlsServerAndAPlainConnectThereIsToldToCheckTls) {
  if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
  const std::uint16_t tls_port = LoopbackSocket::Listen().Port();
  IrcdFixture ircd;
  ASSERT_EQ(
      ircd.Start(IrcdFixture::Motd::kPhrase, "[SSL]\nCertFile = " + certificates_.Trusted() +
                                                 "\nKeyFile = " + certificates_.Trusted() +
                                                 "\nPorts = " + std::to_string(tls_port) + "\n"),
      "");

  ConnectWithTls(tls_port);
  ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircd.Log();
  const std::vector<std::string> log = LogLines();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.starts_with("TLS TLSv1.") && line.find(" with ") != std::string::npos;
  }));
  EXPECT_EQ(Question(), nullptr);
  Click(form_.btnJoin);
  EXPECT_TRUE(WaitUntil([&] { return form_.btnPart->isEnabled(); }));
  Click(form_.btnConnect);
  ASSERT_TRUE(BackAtConnect());

  QTest::keyClick(form_.cbTls, Qt::Key_Space);
  ConnectTo(tls_port);
  ASSERT_TRUE(BackAtConnect());
  EXPECT_TRUE(WaitUntil(
      [&] { return Contains(LogLines(), "The server may speak TLS on this port: check TLS"); }));
}

TEST_F(TlsFormTest, AnUntrustedCertificateIsAskedAboutOnceAndTheClientCertificateIsSent) {
  TlsFront front(certificates_.SelfSigned(), server_.Port());
  form_.Identity.ClientCertificateFile = certificates_.ClientCertificateOnly();
  form_.Identity.ClientKeyFile = certificates_.Client();

  // Refused: back at Connect with no error, nothing sent.
  ConnectWithTls(front.Port());
  ASSERT_TRUE(WaitUntil([&] { return Question() != nullptr; }));
  EXPECT_NE(Question()->findChild<QLabel*>()->text().indexOf("self-signed certificate"), -1);
  Click(Question()->Cancel());
  ASSERT_TRUE(BackAtConnect());
  EXPECT_FALSE(server_.HasLine());

  // Accepted: registration goes out, and PING is answered over TLS.
  Click(form_.btnConnect);
  ASSERT_TRUE(WaitUntil([&] { return Question() != nullptr; }));
  Click(Question()->ConnectAnyway());
  EXPECT_EQ(NextLine(), "PASS Mossel");
  EXPECT_EQ(NextLine(), "NICK Tolvex");
  EXPECT_EQ(NextLine().value_or("").rfind("USER Tolvex", 0), 0u);
  Deliver({});
  EXPECT_EQ(front.ClientFingerprint(), certificates_.ClientFingerprint());

  // The same certificate there again: no question.
  Click(form_.btnConnect);
  ASSERT_TRUE(BackAtConnect());
  Click(form_.btnConnect);
  EXPECT_EQ(NextLine(), "PASS Mossel");
  EXPECT_EQ(Question(), nullptr);
}

TEST_F(TlsFormTest, AServerThatClosesWhileTheQuestionIsOpenEndsTheConnection) {
  TlsFront front(certificates_.Expired(), server_.Port());
  ConnectWithTls(front.Port());
  ASSERT_TRUE(WaitUntil([&] { return Question() != nullptr; }));
  ASSERT_TRUE(server_.WaitForClient());
  server_.CloseClient();
  ASSERT_TRUE(BackAtConnect());
  EXPECT_TRUE(WaitUntil([&] { return Question() == nullptr; }));
  EXPECT_FALSE(server_.HasLine());
}

TEST_F(TlsFormTest, APeerWithoutTlsEndsTheAttemptInWords) {
  ConnectWithTls(server_.Port());
  ASSERT_TRUE(server_.WaitForClient());
  server_.SendLine(":irc.test NOTICE * :*** Looking up your hostname");
  ASSERT_TRUE(BackAtConnect());
  EXPECT_TRUE(Contains(LogLines(), tls::kNotTlsMessage));

  // One that never answers.
  ASSERT_TRUE(server_.WaitForNoClient());
  form_.SetTlsHandshakeTimeOut(200);
  Click(form_.btnConnect);
  ASSERT_TRUE(BackAtConnect());
  ASSERT_TRUE(WaitUntil([&] {
    return form_.btnConnect->text() == "&Connect" && !LogLines().empty() &&
           LogLines().back().rfind("The server did not answer the TLS handshake", 0) == 0;
  }));
}

}  // namespace
}  // namespace unit1
