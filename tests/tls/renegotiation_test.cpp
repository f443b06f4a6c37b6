// A server that asks to renegotiate once the session is open (TLS 1.2) is
// refused: it could present another certificate after the user's verdict. A
// server that insists then ends the session, which the socket reports. The
// server's records travel through memory to a line socket whose connection is
// scripted.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <deque>
#include <string>

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

TEST(Renegotiation, AServersRequestIsRefused) {
  testsupport::TestCertificates certificates;
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  ASSERT_EQ(SSL_CTX_use_certificate_chain_file(context, certificates.SelfSigned().c_str()), 1);
  ASSERT_EQ(
      SSL_CTX_use_PrivateKey_file(context, certificates.SelfSigned().c_str(), SSL_FILETYPE_PEM), 1);
  SSL_CTX_set_max_proto_version(context, TLS1_2_VERSION);
  SSL* server = SSL_new(context);
  BIO* server_in = BIO_new(BIO_s_mem());
  BIO* server_out = BIO_new(BIO_s_mem());
  SSL_set_bio(server, server_in, server_out);
  SSL_set_accept_state(server);

  TScriptedTls client;
  int handshakes = 0;
  std::vector<std::string> lines;
  std::string failure;
  client.OnHandshake = [&](tls::TTlsLineSocket& socket, const tls::TTlsFacts&) {
    ++handshakes;
    socket.Proceed();
  };
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    lines.push_back(line);
  };
  client.OnFailure = [&](tls::TTlsLineSocket&, const std::string& reason) { failure = reason; };
  // Moves what each side wrote to the other, and lets each read it.
  const auto exchange = [&] {
    for (int round = 0; round < 6; ++round) {
      if (!client.outgoing.empty()) {
        BIO_write(server_in, client.outgoing.data(), int(client.outgoing.size()));
        client.outgoing.clear();
      }
      if (SSL_is_init_finished(server) == 0) {
        SSL_do_handshake(server);
      } else {
        char ignored[256];
        SSL_read(server, ignored, sizeof ignored);
      }
      char bytes[4096];
      for (int taken; (taken = BIO_read(server_out, bytes, sizeof bytes)) > 0;) {
        client.incoming.emplace_back(bytes, std::size_t(taken));
      }
      if (!client.incoming.empty()) client.DoRead();
    }
  };
  client.DoConnect();
  exchange();
  ASSERT_TRUE(client.Established()) << failure;
  ASSERT_EQ(handshakes, 1);

  ASSERT_EQ(SSL_renegotiate(server), 1);
  SSL_do_handshake(server);
  exchange();
  EXPECT_EQ(SSL_renegotiate_pending(server), 1) << "the client took part";
  EXPECT_EQ(handshakes, 1);
  // This server insists: the session ends in words.
  EXPECT_EQ(failure, "TLS error: sslv3 alert handshake failure");
  EXPECT_TRUE(lines.empty());
  SSL_free(server);
  SSL_CTX_free(context);
}

}  // namespace
}  // namespace tls_test
