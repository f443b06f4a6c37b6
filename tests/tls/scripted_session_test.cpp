// The line socket over TLS against a server of the same process whose records
// travel through memory, over a scripted connection: a server that asks to
// renegotiate once the session is open (TLS 1.2) is refused, since it could
// present another certificate after the user's verdict; a close while the
// user is asked about the certificate ends the session, so that a late answer
// opens nothing.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <deque>
#include <string>
#include <vector>

#include "tests/support/test_certificates.h"
#include "tests/transport/fake_socket.h"
#include "tls/tls_line_socket.h"

namespace tls_test {
namespace {

using transport_test::BytesIn;

class TScriptedTls : public transport_test::Scripted<tls::TTlsLineSocket> {
 public:
  TScriptedTls() {
    HandshakeTimeOutMs = 0;
    SetReadBufferSize(5120);
  }
  std::deque<std::string> incoming;
  std::string outgoing;

 protected:
  int RawSend(const void* buffer, int count) override {
    outgoing.append(static_cast<const char*>(buffer), std::size_t(count));
    return count;
  }
  int RawRecv(void* buffer, int count) override {
    return incoming.empty() ? -1 : transport_test::TakeFromFirst(incoming, buffer, count);
  }
  int RawError() override { return winsock::WSAEWOULDBLOCK; }
  std::uint32_t RawPending() override { return BytesIn(incoming); }
};

// The self-signed certificate's server, at most TLS 1.2, and the client, with
// what the client heard.
class ScriptedSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context_ = SSL_CTX_new(TLS_server_method());
    const std::string pem = certificates_.SelfSigned();
    ASSERT_EQ(SSL_CTX_use_certificate_chain_file(context_, pem.c_str()), 1);
    ASSERT_EQ(SSL_CTX_use_PrivateKey_file(context_, pem.c_str(), SSL_FILETYPE_PEM), 1);
    SSL_CTX_set_max_proto_version(context_, TLS1_2_VERSION);
    server = SSL_new(context_);
    SSL_set_bio(server, server_in_ = BIO_new(BIO_s_mem()), server_out_ = BIO_new(BIO_s_mem()));
    SSL_set_accept_state(server);
    client.OnHandshake = [this](tls::TTlsLineSocket& socket, const tls::TTlsFacts&) {
      ++handshakes;
      if (proceed) socket.Proceed();
    };
    client.OnLineReceived = [this](transport::TLineSocketBase&, const std::string& line, bool) {
      lines.push_back(line);
    };
    client.OnFailure = [this](tls::TTlsLineSocket&, const std::string& reason) {
      failure = reason;
    };
  }
  void TearDown() override {
    SSL_free(server);
    SSL_CTX_free(context_);
  }

  // Moves what each side wrote to the other, and lets each read it.
  void Exchange() {
    for (int round = 0; round < 6; ++round) {
      if (!client.outgoing.empty()) {
        BIO_write(server_in_, client.outgoing.data(), int(client.outgoing.size()));
        client.outgoing.clear();
      }
      if (SSL_is_init_finished(server) == 0) {
        SSL_do_handshake(server);
      } else {
        char ignored[256];
        SSL_read(server, ignored, sizeof ignored);
      }
      char bytes[4096];
      for (int taken; (taken = BIO_read(server_out_, bytes, sizeof bytes)) > 0;) {
        client.incoming.emplace_back(bytes, std::size_t(taken));
      }
      if (!client.incoming.empty() && client.Handle() != winsock::INVALID_SOCKET) client.DoRead();
    }
  }

  testsupport::TestCertificates certificates_;
  SSL_CTX* context_ = nullptr;
  BIO* server_in_ = nullptr;
  BIO* server_out_ = nullptr;

  SSL* server = nullptr;
  TScriptedTls client;
  bool proceed = true;
  int handshakes = 0;
  std::vector<std::string> lines;
  std::string failure;
};

TEST_F(ScriptedSessionTest, AServersRequestToRenegotiateIsRefused) {
  client.DoConnect();
  Exchange();
  ASSERT_TRUE(client.Established()) << failure;
  ASSERT_EQ(handshakes, 1);

  ASSERT_EQ(SSL_renegotiate(server), 1);
  SSL_do_handshake(server);
  Exchange();
  EXPECT_EQ(SSL_renegotiate_pending(server), 1) << "the client took part";
  EXPECT_EQ(handshakes, 1);
  // This server insists: the session ends in words.
  EXPECT_EQ(failure, "TLS error: sslv3 alert handshake failure");
}

TEST_F(ScriptedSessionTest, ACloseWhileTheUserIsAskedEndsTheSession) {
  proceed = false;
  client.DoConnect();
  Exchange();
  ASSERT_TRUE(client.AwaitingDecision()) << failure;
  const std::string held = "NOTICE * :held while the user decides\r\n";
  SSL_write(server, held.data(), int(held.size()));
  Exchange();
  client.Close();
  EXPECT_FALSE(client.AwaitingDecision());
  // The answer comes after the close.
  client.Proceed();
  EXPECT_FALSE(client.Established());
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace tls_test
