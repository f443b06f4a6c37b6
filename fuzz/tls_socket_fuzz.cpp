// Feeds a TLS line socket arbitrary server bytes, during the handshake and after
// it, and stops at once when something breaks what must hold for any input: no
// crash, every notification ends after bounded work, the TLS library never holds
// more than about a record, over records that are whole every plain byte comes
// out once and in order, and nothing comes out while the user has not yet
// answered for a certificate the verifier refused, nor after a close then.
#include <openssl/ssl.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "tests/support/test_certificates.h"
#include "tests/transport/fake_socket.h"
#include "tls/tls_line_socket.h"

namespace {

using fuzz::Require;
using transport_test::BytesIn;

// A server of the same process, with the tests' self-signed certificate: its
// records travel through memory.
struct TServer {
  TServer() : context(SSL_CTX_new(TLS_server_method())) {
    // Nothing is verified here: the system's trusted certificates would only
    // be read again at every connect.
    setenv("SSL_CERT_FILE", "/dev/null", 1);
    setenv("SSL_CERT_DIR", "/nonexistent", 1);
    SSL_CTX_use_certificate_chain_file(context, certificates.SelfSigned().c_str());
    SSL_CTX_use_PrivateKey_file(context, certificates.SelfSigned().c_str(), SSL_FILETYPE_PEM);
  }
  testsupport::TestCertificates certificates;
  SSL_CTX* context;
};

// The socket with the connection beneath its records scripted: what the server
// sends waits in `incoming`, one segment a receive; what the client sends goes
// to `outgoing`. Receives are counted, and must stay within what the bytes
// offered can justify.
class TScriptedTls : public transport_test::Scripted<tls::TTlsLineSocket> {
 public:
  TScriptedTls() {
    HandshakeTimeOutMs = 0;
    SetReadBufferSize(5120);
  }
  std::uint32_t HeldByTls() { return StreamPending() - RawPending(); }

  std::deque<std::string> incoming;
  std::string outgoing;
  std::size_t work_budget = 0;

 protected:
  int RawSend(const void* buffer, int count) override {
    outgoing.append(static_cast<const char*>(buffer), std::size_t(count));
    return count;
  }
  int RawRecv(void* buffer, int count) override {
    Require(work_budget-- > 0);
    return incoming.empty() ? -1 : transport_test::TakeFromFirst(incoming, buffer, count);
  }
  int RawError() override { return winsock::WSAEWOULDBLOCK; }
  std::uint32_t RawPending() override { return BytesIn(incoming); }
};

// Read notifications while bytes wait, on the connection or inside the TLS
// library, as the socket library and the socket itself post them; each must
// move something.
void Notify(TScriptedTls& socket, bool& ended) {
  while (!ended) {
    const std::size_t waiting = BytesIn(socket.incoming);
    const std::uint32_t held = socket.HeldByTls();
    socket.work_budget = 4 * waiting / 256 + 64;
    socket.DoRead();
    Require(socket.HeldByTls() <= 40 * 1024);
    if (BytesIn(socket.incoming) == 0 && socket.HeldByTls() == 0) return;
    if (BytesIn(socket.incoming) == waiting && socket.HeldByTls() == held) return;
  }
}

// Moves the client's bytes into the server and the server's answer back.
void Exchange(SSL* server, BIO* server_in, BIO* server_out, TScriptedTls& client) {
  if (!client.outgoing.empty()) {
    BIO_write(server_in, client.outgoing.data(), int(client.outgoing.size()));
    client.outgoing.clear();
  }
  if (!SSL_is_init_finished(server)) SSL_do_handshake(server);
  char bytes[4096];
  int taken = 0;
  while ((taken = BIO_read(server_out, bytes, sizeof bytes)) > 0) {
    client.incoming.emplace_back(bytes, std::size_t(taken));
  }
}

}  // namespace

// The user's answer to the certificate, which the verifier never trusts here.
enum TAnswer { kAtOnce = 0, kAfterFirstSegment = 1, kNever = 2, kCloseWhileAsked = 3 };

// The first byte chooses: even, the input is the server's raw bytes from the
// start; odd, a real handshake comes first, and then the input is segments,
// each a length byte and a kind byte (even: plain text the server sends as
// records; odd: raw bytes in the record stream). Its next two bits choose the
// answer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TServer server_side;
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  TScriptedTls client;
  std::string lines;
  bool ended = false;
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    lines += line;
    lines += "\r\n";
  };
  const auto answer = TAnswer((data[0] >> 1) & 3);
  client.OnHandshake = [&](tls::TTlsLineSocket& socket, const tls::TTlsFacts& facts) {
    Require(!facts.Verified && !facts.VerifyError.empty() && lines.empty());
    if (answer == kAtOnce) socket.Proceed();
  };
  client.OnFailure = [&](tls::TTlsLineSocket&, const std::string&) { ended = true; };
  // A line longer than the read buffer is dropped, as the window does.
  bool overlong = false;
  client.OnReadBufferFull = [&](transport::TBufferedSocketBase& socket) {
    socket.PullUpReadBuffer(std::uint32_t(socket.ReadCount()));
    overlong = true;
  };

  if ((data[0] & 1) == 0) {
    for (std::size_t at = 0; at < input.size(); at += 700) {
      client.incoming.emplace_back(input.substr(at, 700));
    }
    client.work_budget = 4 * BytesIn(client.incoming) / 256 + 64;
    client.DoConnect();
    Notify(client, ended);
    return 0;
  }

  SSL* server = SSL_new(server_side.context);
  BIO* server_in = BIO_new(BIO_s_mem());
  BIO* server_out = BIO_new(BIO_s_mem());
  SSL_set_bio(server, server_in, server_out);
  SSL_set_accept_state(server);
  client.work_budget = 64;
  client.DoConnect();
  for (int round = 0; round < 8 && !client.Established() && !client.AwaitingDecision() && !ended;
       ++round) {
    Exchange(server, server_in, server_out, client);
    Notify(client, ended);
  }
  Require(answer == kAtOnce ? client.Established() : client.AwaitingDecision());
  // The client's last handshake message reaches the server too.
  Exchange(server, server_in, server_out, client);
  Require(SSL_is_init_finished(server));

  std::string plain;
  bool whole_records = true;
  for (std::size_t at = 0; at + 2 <= input.size() && !ended;) {
    const std::size_t length = std::uint8_t(input[at]) * 8;
    const bool raw = input[at + 1] & 1;
    const std::string_view bytes = input.substr(at + 2, length);
    at += 2 + bytes.size();
    if (raw) {
      whole_records = false;
      client.incoming.emplace_back(bytes);
    } else if (!bytes.empty()) {
      Require(SSL_write(server, bytes.data(), int(bytes.size())) == int(bytes.size()));
      plain += bytes;
      Exchange(server, server_in, server_out, client);
    }
    Notify(client, ended);
    if (client.AwaitingDecision()) {
      Require(lines.empty());
      if (answer == kAfterFirstSegment) {
        client.Proceed();
        Notify(client, ended);
      } else if (answer == kCloseWhileAsked) {
        client.Close();
        Require(!client.AwaitingDecision() && !client.Established());
        break;
      }
    }
  }
  Require(answer == kAtOnce || answer == kAfterFirstSegment || lines.empty());
  // Whole records lose nothing: every complete line arrives, in order.
  if (whole_records && !ended && !overlong && (answer == kAtOnce || answer == kAfterFirstSegment)) {
    const std::size_t complete = plain.rfind("\r\n");
    Require(lines == (complete == std::string::npos ? "" : plain.substr(0, complete + 2)));
  }
  SSL_free(server);
  return 0;
}
