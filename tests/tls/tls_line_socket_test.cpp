// The line socket over TLS against a TLS front relaying to the scripted server:
// the handshake and its verdicts, lines and a burst through TLS, and the client
// certificate. A peer without TLS is met through the window
// (tests/Unit1/tls_form_test.cpp), which shows its failures in words.
#include <cstdlib>

#include "tests/support/scripted_server.h"
#include "tests/support/test_certificates.h"
#include "tests/support/tls_front.h"
#include "tests/transport/loopback_fixture.h"
#include "tls/tls_line_socket.h"

namespace tls_test {
namespace {

using testsupport::ScriptedServer;
using testsupport::TestCertificates;
using testsupport::TlsFront;
using testsupport::WaitUntil;
using tls::TTlsLineSocket;

const sockets::TSocketClass kTls = sockets::TSocketClass::Of<TTlsLineSocket>();

class TlsTest : public transport_test::LoopbackTest {
 protected:
  void SetUp() override {
    LoopbackTest::SetUp();
    // The test CA stands in for the system's trusted certificates.
    setenv("SSL_CERT_FILE", certificates.CaFile().c_str(), 1);
    client.SetReadBufferSize(5120);
    client.OnLineReceived = [this](transport::TLineSocketBase&, const std::string& line, bool) {
      lines.push_back(line);
    };
    client.OnConnect = [this](sockets::TSockCtrl&, sockets::TSocketBase*) { ++connects; };
  }

  // Opens a TLS connection to `port`, naming the server `server_name`.
  TTlsLineSocket& Open(std::uint16_t port, const std::string& server_name = "127.0.0.1",
                       const std::string& address = "127.0.0.1") {
    client.SetAddress(address);
    client.SetPort(std::to_string(port));
    client.SetSocketClass(kTls);
    auto& socket = sockets::CheckedCast<TTlsLineSocket>(*client.Socket());
    socket.ServerName = server_name;
    socket.ClientCertificate = client_certificate;
    socket.OnHandshake = [this](TTlsLineSocket&, const tls::TTlsFacts& given) { facts = given; };
    socket.OnFailure = [this](TTlsLineSocket&, const std::string& reason) { failure = reason; };
    client.Open(kTls);
    return socket;
  }

  TestCertificates certificates;
  ScriptedServer server;
  transport::TTextClient client{nullptr};
  std::vector<std::string> lines;
  int connects = 0;
  tls::TTlsFacts facts;
  std::string failure;
  std::shared_ptr<const tls::TClientCertificate> client_certificate;
};

TEST_F(TlsTest, VerifiedConnectCarriesLinesBothWaysAndABurstInOrder) {
  TlsFront front(certificates.Trusted(), server.Port());
  auto load = tls::LoadClientCertificate(certificates.Client(), "", "");
  ASSERT_EQ(load.Outcome, tls::TClientCertificateLoad::kLoaded) << load.Error;
  client_certificate = load.Certificate;
  TTlsLineSocket& socket = Open(front.Port(), "localhost");
  ASSERT_TRUE(WaitUntil([&] { return connects == 1; })) << failure;
  EXPECT_TRUE(facts.Verified) << facts.VerifyError;
  EXPECT_EQ(facts.Protocol, "TLSv1.3");
  EXPECT_EQ(facts.Subject, "CN = localhost");
  EXPECT_EQ(facts.Issuer, "CN = Test CA");
  EXPECT_EQ(facts.Fingerprint.size(), 32u * 3 - 1);

  ASSERT_TRUE(socket.WriteLine("NICK Tolvex"));
  ASSERT_TRUE(WaitUntil([&] { return server.HasLine(); }));
  EXPECT_EQ(server.TakeLine(), "NICK Tolvex");
  EXPECT_EQ(front.ClientFingerprint(), certificates.ClientFingerprint());

  // More than one read budget, so that records left inside the TLS library
  // must be read on without a notification from the connection.
  socket.SetReadBudget(4096);
  std::string burst;
  for (int i = 0; i < 20000; ++i) burst += ":s PRIVMSG #c :line " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(server.Send(burst));
  ASSERT_TRUE(WaitUntil([&] { return lines.size() == 20000; }, 20000)) << lines.size();
  EXPECT_EQ(lines.front(), ":s PRIVMSG #c :line 0");
  EXPECT_EQ(lines.back(), ":s PRIVMSG #c :line 19999");
  EXPECT_EQ(failure, "");
}

TEST_F(TlsTest, AnUnverifiedCertificateWaitsForTheDecisionAndSendsNothing) {
  struct Case {
    const char* name;
    std::string file;
    const char* server_name;
    const char* verdict;
  };
  const Case cases[] = {
      {"self-signed", certificates.SelfSigned(), "127.0.0.1", "self-signed certificate"},
      {"expired", certificates.Expired(), "127.0.0.1", "certificate has expired"},
      {"other host", certificates.Trusted(), "irc.example", "does not match irc.example"},
      {"self-signed for another host", certificates.SelfSigned(), "irc.example",
       "self-signed certificate; does not match irc.example"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    connects = 0;
    facts = {};
    TlsFront front(c.file, server.Port());
    TTlsLineSocket& socket = Open(front.Port(), c.server_name);
    ASSERT_TRUE(WaitUntil([&] { return !facts.Fingerprint.empty(); })) << failure;
    EXPECT_FALSE(facts.Verified);
    EXPECT_EQ(facts.VerifyError, c.verdict);
    EXPECT_TRUE(socket.AwaitingDecision());
    EXPECT_FALSE(socket.WriteLine("NICK early") && server.HasLine());
    EXPECT_EQ(connects, 0);

    ASSERT_TRUE(server.WaitForClient());
    server.SendLine(":irc NOTICE * :held while the user decides");
    socket.Proceed();
    EXPECT_EQ(connects, 1);
    ASSERT_TRUE(WaitUntil([&] { return server.HasLine(); }));
    EXPECT_EQ(server.TakeLine(), "NICK early");
    ASSERT_TRUE(WaitUntil([&] { return !lines.empty(); }));
    EXPECT_EQ(lines.back(), ":irc NOTICE * :held while the user decides");
    client.Close();
    ASSERT_TRUE(server.WaitForNoClient());
  }
}

// An address is checked against the certificate's IP addresses, as the
// connection reached it, and sends no server name; a host name sends one.
TEST_F(TlsTest, AnAddressIsCheckedAsConnectedAndSendsNoServerName) {
  if (!testsupport::LoopbackSocket::Listen6().Valid()) GTEST_SKIP() << "no IPv6 loopback";
  struct Case {
    std::string certificate;
    const char* typed;
    const char* verdict;  // empty: verified
    const char* sni;
  };
  const Case cases[] = {
      {certificates.TrustedForIPv6Loopback(), "::1", "", ""},
      {certificates.TrustedForIPv6Loopback(), "[::1]", "", ""},
      {certificates.Trusted(), "::1", "does not match ::1", ""},
      // 0x7f.1 reaches 127.0.0.1, which the certificate names.
      {certificates.Trusted(), "0x7f.1", "", ""},
      {certificates.Trusted(), "localhost", "", "localhost"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    connects = 0;
    facts = {};
    TlsFront front(c.certificate, server.Port(),
                   std::string(c.typed).find(':') != std::string::npos);
    TTlsLineSocket& socket = Open(front.Port(), c.typed, c.typed);
    ASSERT_TRUE(WaitUntil([&] { return !facts.Fingerprint.empty(); })) << failure;
    EXPECT_EQ(facts.Verified, std::string(c.verdict).empty());
    EXPECT_EQ(facts.VerifyError, c.verdict);
    if (socket.AwaitingDecision()) socket.Proceed();
    ASSERT_TRUE(WaitUntil([&] { return connects == 1; }));
    // The front reaches the backend once its side of the handshake is done.
    ASSERT_TRUE(server.WaitForClient());
    EXPECT_EQ(front.ServerNameSent(), c.sni);
    client.Close();
    ASSERT_TRUE(server.WaitForNoClient());
  }
}

TEST(ClientCertificate, LoadsFromOneFileOrTwoAndAsksForAPassphrase) {
  TestCertificates certificates;
  using Load = tls::TClientCertificateLoad;
  const Load one = tls::LoadClientCertificate(certificates.Client(), "", "");
  ASSERT_EQ(one.Outcome, Load::kLoaded) << one.Error;
  EXPECT_EQ(one.Certificate->Fingerprint(), certificates.ClientFingerprint());

  const std::string cert = certificates.ClientCertificateOnly();
  const std::string key = certificates.ClientEncryptedKey();
  EXPECT_EQ(tls::LoadClientCertificate(cert, key, "").Outcome, Load::kNeedsPassphrase);
  const Load wrong = tls::LoadClientCertificate(cert, key, "wrong");
  EXPECT_EQ(wrong.Outcome, Load::kFailed);
  EXPECT_EQ(wrong.Error, key + ": the passphrase does not open the key");
  const Load right = tls::LoadClientCertificate(cert, key, TestCertificates::kKeyPassphrase);
  ASSERT_EQ(right.Outcome, Load::kLoaded) << right.Error;
  EXPECT_EQ(right.Certificate->Fingerprint(), certificates.ClientFingerprint());

  EXPECT_EQ(tls::LoadClientCertificate(cert, "", "").Error, cert + ": holds no PEM private key");
  EXPECT_EQ(tls::LoadClientCertificate("/no/such.pem", "", "").Outcome, Load::kFailed);
}

}  // namespace
}  // namespace tls_test
