// The TLS front's thread: accept, handshake, relay until either side ends.
#include "tests/support/tls_front.h"

#include <fcntl.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>

#include <csignal>
#include <memory>

#include "tls/fingerprint.h"

namespace testsupport {
namespace {

// Short turns, so that the destructor's stop is seen soon.
constexpr int kTurnMs = 50;

int AcceptAnyCertificate(int, X509_STORE_CTX*) {
  return 1;
}

}  // namespace

TlsFront::TlsFront(std::string certificate_file, std::uint16_t backend_port, bool on_ipv6_loopback)
    : certificate_file_(std::move(certificate_file)),
      backend_port_(backend_port),
      listener_(LoopbackSocket::Listen(8, on_ipv6_loopback)),
      thread_(&TlsFront::Serve, this) {
  // The TLS library writes to the socket itself: a client gone while records are
  // on their way (tickets after a refused handshake) fails that write, no more.
  std::signal(SIGPIPE, SIG_IGN);
}

TlsFront::~TlsFront() {
  stopping_ = true;
  thread_.join();
}

std::string TlsFront::ClientFingerprint() const {
  std::lock_guard lock(mutex_);
  return client_fingerprint_;
}

std::string TlsFront::ServerNameSent() const {
  std::lock_guard lock(mutex_);
  return server_name_sent_;
}

// Ends the client's connection as a server does when it is done: a close
// notify, the end of the stream, and what the client still sends read and
// dropped, so that nothing unread turns the close into a reset that could
// overtake the last records.
void TlsFront::Close(SSL* ssl, const LoopbackSocket& client) {
  SSL_shutdown(ssl);
  shutdown(client.Get(), SHUT_WR);
  char bytes[4096];
  for (int turns = 0; turns < 100 && !stopping_; ++turns) {
    if (!client.WaitReadable(kTurnMs)) continue;
    if (recv(client.Get(), bytes, sizeof bytes, 0) <= 0) return;
  }
}

void TlsFront::Serve() {
  while (!stopping_) {
    LoopbackSocket client = listener_.Accept(kTurnMs);
    if (client.Valid()) Relay(std::move(client));
  }
}

void TlsFront::Relay(LoopbackSocket client) {
  const std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_server_method()),
                                                                  SSL_CTX_free);
  if (SSL_CTX_use_certificate_chain_file(context.get(), certificate_file_.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context.get(), certificate_file_.c_str(), SSL_FILETYPE_PEM) !=
          1) {
    return;
  }
  SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, AcceptAnyCertificate);
  const std::unique_ptr<SSL, decltype(&SSL_free)> ssl(SSL_new(context.get()), SSL_free);
  fcntl(client.Get(), F_SETFL, fcntl(client.Get(), F_GETFL) | O_NONBLOCK);
  SSL_set_fd(ssl.get(), client.Get());
  const auto waits = [&](int result) {
    const int error = SSL_get_error(ssl.get(), result);
    return !stopping_ && (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE);
  };
  for (int result; (result = SSL_accept(ssl.get())) != 1;) {
    if (!waits(result)) return;
    client.WaitReadable(kTurnMs);
  }
  X509* peer = SSL_get1_peer_certificate(ssl.get());
  {
    std::lock_guard lock(mutex_);
    client_fingerprint_ = tls::FingerprintOf(peer);
    const char* name = SSL_get_servername(ssl.get(), TLSEXT_NAMETYPE_host_name);
    server_name_sent_ = name != nullptr ? name : "";
  }
  X509_free(peer);
  const LoopbackSocket backend = LoopbackSocket::ConnectTo(backend_port_);
  if (!backend.Valid()) return;

  char bytes[16384];
  while (!stopping_) {
    // Plain text the TLS library already holds first; poll knows nothing of it.
    int got;
    while ((got = SSL_read(ssl.get(), bytes, sizeof bytes)) > 0) {
      if (!backend.SendAll(std::string_view(bytes, std::size_t(got)))) return;
    }
    if (!waits(got)) return;
    pollfd entries[2] = {{client.Get(), POLLIN, 0}, {backend.Get(), POLLIN, 0}};
    if (poll(entries, 2, kTurnMs) <= 0 || entries[1].revents == 0) continue;
    const ssize_t received = recv(backend.Get(), bytes, sizeof bytes, 0);
    if (received <= 0) return Close(ssl.get(), client);
    for (ssize_t sent = 0; sent < received;) {
      const int written = SSL_write(ssl.get(), bytes + sent, int(received - sent));
      if (written > 0) {
        sent += written;
      } else if (waits(written)) {
        pollfd out{client.Get(), POLLOUT, 0};
        poll(&out, 1, kTurnMs);
      } else {
        return;
      }
    }
  }
}

}  // namespace testsupport
