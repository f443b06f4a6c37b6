// The line socket over TLS: the session over two memory buffers, the handshake,
// and plain text and records through the socket library's send and receive.
#include "tls/tls_line_socket.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>

#include "platform/winsys/winsys.h"
#include "sockets/address_text.h"
#include "sockets/error_text.h"
#include "sockets/raise_event.h"
#include "sockets/sock_ctrl.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace tls {

using sockets::TLiveness;
using sockets::WinsockAPI;

namespace {

// The largest TLS record with its header: what one receive takes at most, so
// that no more than a record's worth waits inside the TLS library.
constexpr std::uint32_t kRecordBytes = 16 * 1024 + 256;
// What a wait for the user's decision holds at most; a close behind it is seen.
constexpr std::size_t kHeldWhileWaiting = 64 * 1024;

// The TLS library's most recent reason, in its own words.
std::string LibraryReason() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "the connection broke off";
  const char* reason = ERR_reason_error_string(code);
  return reason != nullptr ? reason : "error " + std::to_string(code);
}

// A server named by an address, as the socket layer reads one (dotted in any of
// its forms, IPv6 with or without brackets): it gets no SNI.
bool IsAddressLiteral(const std::string& name) {
  const sockets::TAddressForm form = sockets::AddressForm(name);
  return form == sockets::TAddressForm::afDotted || form == sockets::TAddressForm::afIPv6;
}

// The address the connection reached, as the certificate names it: no zone.
std::string ConnectedAddress(const sockets::TSockAddress& address) {
  const std::string text = sockets::AddressText(address);
  return text.substr(0, text.find('%'));
}

// A record starts with its content type: 21 an alert, 22 a handshake.
bool StartsLikeTls(unsigned char first) {
  return first == 21 || first == 22;
}

}  // namespace

struct TTlsLineSocket::TSession {
  SSL_CTX* context = nullptr;
  SSL* ssl = nullptr;
  BIO* in = nullptr;   // records received, owned by ssl
  BIO* out = nullptr;  // records to send, owned by ssl
  std::string unsent;  // records taken from `out` that the connection has not taken

  ~TSession() {
    SSL_free(ssl);
    SSL_CTX_free(context);
  }
};

TTlsLineSocket::TTlsLineSocket(sockets::TSockCtrl* Owner) : TLineSocket(Owner) {}

TTlsLineSocket::~TTlsLineSocket() = default;

void TTlsLineSocket::Connect(std::string HostName, std::string& Address, std::string ServiceName,
                             winsock::u_short Port, sockets::TAsyncOptions Options) {
  EndSession();
  TLineSocket::Connect(std::move(HostName), Address, std::move(ServiceName), Port, Options);
}

void TTlsLineSocket::EndSession() {
  if (handshake_timer_) handshake_timer_->SetEnabled(false);
  session_.reset();
  phase_ = kIdle;
  pending_failure_.clear();
  received_any_ = false;
}

void TTlsLineSocket::DoConnect() {
  if (LastError() != 0 || State() != sockets::ssConnected) {
    TLineSocket::DoConnect();
    return;
  }
  StartHandshake();
}

void TTlsLineSocket::StartHandshake() {
  EndSession();
  session_ = std::make_unique<TSession>();
  TSession& s = *session_;
  s.context = SSL_CTX_new(TLS_client_method());
  if (s.context == nullptr) return Fail("TLS cannot start: " + LibraryReason());
  SSL_CTX_set_min_proto_version(s.context, TLS1_2_VERSION);
  // The verdict is read after the handshake, so that the user can be shown the
  // certificate and decide; nothing is sent before that.
  SSL_CTX_set_verify(s.context, SSL_VERIFY_NONE, nullptr);
  SSL_CTX_set_default_verify_paths(s.context);
  // Servers often close without a close notify; the end of the stream is theirs.
  // A renegotiation could present another certificate after the user's verdict.
  SSL_CTX_set_options(s.context, SSL_OP_IGNORE_UNEXPECTED_EOF | SSL_OP_NO_RENEGOTIATION);
  if (ClientCertificate) {
    const bool usable = SSL_CTX_use_certificate(s.context, ClientCertificate->Certificate()) == 1 &&
                        SSL_CTX_use_PrivateKey(s.context, ClientCertificate->Key()) == 1;
    if (!usable) return Fail("The client certificate cannot be used: " + LibraryReason());
    for (X509* link : ClientCertificate->Chain()) {
      X509_up_ref(link);
      if (SSL_CTX_add_extra_chain_cert(s.context, link) != 1) X509_free(link);
    }
  }
  s.ssl = SSL_new(s.context);
  s.in = BIO_new(BIO_s_mem());
  s.out = BIO_new(BIO_s_mem());
  if (s.ssl == nullptr || s.in == nullptr || s.out == nullptr) {
    BIO_free(s.in);
    BIO_free(s.out);
    return Fail("TLS cannot start: " + LibraryReason());
  }
  // An empty memory buffer asks for more rather than ending the stream.
  BIO_set_mem_eof_return(s.in, -1);
  SSL_set_bio(s.ssl, s.in, s.out);
  SSL_set_connect_state(s.ssl);
  NoteEveryVerifyError(s.ssl, ServerName);
  if (!ServerName.empty()) {
    if (IsAddressLiteral(ServerName)) {
      // The address actually connected to, not the text: "192.168.001.010"
      // reaches 192.168.1.8, and that is what the certificate must name.
      X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(s.ssl), ConnectedAddress(SockAddress()).c_str());
    } else {
      SSL_set_tlsext_host_name(s.ssl, ServerName.c_str());
      SSL_set1_host(s.ssl, ServerName.c_str());
    }
  }
  phase_ = kHandshaking;
  StartHandshakeTimer();
  PumpHandshake();
}

void TTlsLineSocket::StartHandshakeTimer() {
  if (HandshakeTimeOutMs == 0) return;
  if (!handshake_timer_) handshake_timer_ = std::make_unique<winsys::TTimer>();
  handshake_timer_->SetInterval(HandshakeTimeOutMs);
  handshake_timer_->SetHandler([this] {
    handshake_timer_->SetEnabled(false);
    if (phase_ != kHandshaking) return;
    const unsigned ms = HandshakeTimeOutMs;
    const std::string limit =
        ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
    Fail((received_any_ ? "The server did not finish the TLS handshake within "
                        : "The server did not answer the TLS handshake within ") +
         limit);
  });
  handshake_timer_->SetEnabled(true);
}

// Runs the handshake as far as the bytes received so far take it.
void TTlsLineSocket::PumpHandshake() {
  const TLiveness::TWatch alive = Watch();
  while (phase_ == kHandshaking) {
    ERR_clear_error();
    const int result = SSL_do_handshake(session_->ssl);
    const int error = SSL_get_error(session_->ssl, result);
    if (FlushRecords() == TFlush::kError) {
      return Fail("The connection broke off during the TLS handshake: " +
                  sockets::ErrorText(LastError()));
    }
    if (result == 1) return FinishHandshake();
    if (error != SSL_ERROR_WANT_READ) {
      return Fail(received_any_ ? "The TLS handshake failed: " + LibraryReason() : kNotTlsMessage);
    }
    const int pulled = PullRecords(kRecordBytes);
    if (!alive || phase_ != kHandshaking) return;
    if (!pending_failure_.empty()) return Fail(pending_failure_);
    if (pulled == 0) {
      return Fail(received_any_ ? "The server closed the connection during the TLS handshake"
                                : kNotTlsMessage);
    }
    if (pulled < 0) {
      const int cause = RawError();
      if (cause == winsock::WSAEWOULDBLOCK) return;
      return Fail("The connection broke off during the TLS handshake: " +
                  sockets::ErrorText(cause));
    }
  }
}

void TTlsLineSocket::FinishHandshake() {
  if (handshake_timer_) handshake_timer_->SetEnabled(false);
  phase_ = kAwaitingDecision;
  const TTlsFacts facts = FactsOf(session_->ssl);
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle();
  sockets::RaiseEvent(OnHandshake, *this, facts);
  // A handler that closed the connection refused even a verified certificate.
  if (alive && facts.Verified && Handle() == handle) Proceed();
}

void TTlsLineSocket::Proceed() {
  if (phase_ != kAwaitingDecision) return;
  phase_ = kEstablished;
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle();
  TLineSocket::DoConnect();
  if (alive && Handle() == handle && WriteCount() > 0) FlushWriteBuffer();
  // Lines that came with the end of the handshake, or while the user decided,
  // wait inside the TLS library where no notification announces them.
  if (alive && Handle() == handle && HoldsUnreadRecords()) {
    winsys::PostMessage(Owner()->WindowHandle(), sockets::SM_SELECT, handle,
                        winsock::WSAMAKESELECTREPLY(winsock::FD_READ, 0));
  }
}

int TTlsLineSocket::PullRecords(std::uint32_t Most) {
  char bytes[kRecordBytes];
  const int received = RawRecv(bytes, int(std::min(Most, kRecordBytes)));
  if (received <= 0) return received;
  if (!received_any_) {
    received_any_ = true;
    if (!StartsLikeTls(static_cast<unsigned char>(bytes[0]))) {
      pending_failure_ = kNotTlsMessage;
      return received;
    }
  }
  BIO_write(session_->in, bytes, received);
  return received;
}

TTlsLineSocket::TFlush TTlsLineSocket::FlushRecords() {
  std::string& unsent = session_->unsent;
  char chunk[kRecordBytes];
  int taken = 0;
  while ((taken = BIO_read(session_->out, chunk, sizeof chunk)) > 0) unsent.append(chunk, taken);
  while (!unsent.empty()) {
    const int sent = RawSend(unsent.data(), int(unsent.size()));
    if (sent < 0) {
      const int cause = RawError();
      if (cause == winsock::WSAEWOULDBLOCK) return TFlush::kBlocked;
      SetLastError(cause);
      return TFlush::kError;
    }
    unsent.erase(0, std::size_t(sent));
  }
  return TFlush::kDone;
}

bool TTlsLineSocket::HoldsUnreadRecords() const {
  return session_ && (SSL_pending(session_->ssl) > 0 || BIO_ctrl_pending(session_->in) > 0);
}

int TTlsLineSocket::LibrarySend(const void* Buffer, int Count, const winsock::sockaddr_in* To) {
  if (phase_ != kEstablished || To != nullptr) return 0;
  // Records of an earlier write go first; while they wait, the plain text stays
  // in the write buffer, where the buffer's own rules hold it.
  const TFlush before = FlushRecords();
  if (before == TFlush::kError) return -1;
  if (before == TFlush::kBlocked) return 0;
  std::size_t written = 0;
  ERR_clear_error();
  if (SSL_write_ex(session_->ssl, Buffer, std::size_t(Count), &written) != 1) {
    pending_failure_ = "TLS error while sending: " + LibraryReason();
    return 0;
  }
  // What the connection does not take now goes on the next write notification.
  if (FlushRecords() == TFlush::kError) return -1;
  return int(written);
}

int TTlsLineSocket::LibraryRecv(void* Buffer, int Count, winsock::sockaddr_in* From, int* FromLen) {
  if (phase_ != kEstablished) {
    if (session_) return 0;  // reads wait until the handshake is done and accepted
    return TLineSocket::LibraryRecv(Buffer, Count, From, FromLen);
  }
  for (;;) {
    std::size_t got = 0;
    ERR_clear_error();
    const int result = SSL_read_ex(session_->ssl, Buffer, std::size_t(Count), &got);
    const int error = result == 1 ? SSL_ERROR_NONE : SSL_get_error(session_->ssl, result);
    // Reading may answer the peer (a key update): that goes out now.
    if (FlushRecords() == TFlush::kError) return -1;
    if (result == 1) return int(got);
    if (error == SSL_ERROR_ZERO_RETURN) return 0;
    if (error != SSL_ERROR_WANT_READ) {
      pending_failure_ = "TLS error: " + LibraryReason();
      return 0;
    }
    const int pulled = PullRecords(kRecordBytes);
    // Nothing more yet reads as nothing received, as the checked receive has it.
    if (pulled < 0 && RawError() == winsock::WSAEWOULDBLOCK) return 0;
    if (pulled <= 0) return pulled;
  }
}

std::uint32_t TTlsLineSocket::StreamPending() {
  std::uint32_t held = 0;
  if (session_ && phase_ == kEstablished) {
    held =
        std::uint32_t(SSL_pending(session_->ssl)) + std::uint32_t(BIO_ctrl_pending(session_->in));
  }
  return RawPending() + held;
}

int TTlsLineSocket::RawSend(const void* Buffer, int Count) {
  return TLineSocket::LibrarySend(Buffer, Count, nullptr);
}

int TTlsLineSocket::RawRecv(void* Buffer, int Count) {
  return TLineSocket::LibraryRecv(Buffer, Count, nullptr, nullptr);
}

int TTlsLineSocket::RawError() {
  return WinsockAPI().WSAGetLastError();
}

std::uint32_t TTlsLineSocket::RawPending() {
  return TLineSocket::StreamPending();
}

void TTlsLineSocket::DoRead() {
  const TLiveness::TWatch alive = Watch();
  switch (phase_) {
    case kIdle:
      TLineSocket::DoRead();
      return;
    case kHandshaking:
      PumpHandshake();
      break;
    case kAwaitingDecision:
      // Reads wait for the decision, but the connection is still read, so that
      // a server that closes meanwhile ends it as usual.
      if (BIO_ctrl_pending(session_->in) < kHeldWhileWaiting) {
        PullRecords(std::uint32_t(kHeldWhileWaiting - BIO_ctrl_pending(session_->in)));
      }
      break;
    case kEstablished: {
      const std::uint64_t before = ReceivedTotal();
      const winsock::SOCKET handle = Handle();
      TLineSocket::DoRead();
      if (!alive || Handle() != handle || !pending_failure_.empty()) break;
      // A read that stopped at its budget may leave whole records inside the
      // TLS library, which no notification of the socket library announces.
      if (ReceivedTotal() - before >= ReadBudget() && HoldsUnreadRecords()) {
        winsys::PostMessage(Owner()->WindowHandle(), sockets::SM_SELECT, handle,
                            winsock::WSAMAKESELECTREPLY(winsock::FD_READ, 0));
      }
      break;
    }
    case kFailed:
      return;
  }
  if (alive && !pending_failure_.empty()) Fail(pending_failure_);
}

void TTlsLineSocket::DoWrite() {
  if (!session_) return TLineSocket::DoWrite();
  const TFlush flushed = FlushRecords();
  if (flushed == TFlush::kError) {
    return Fail("The connection broke off: " + sockets::ErrorText(LastError()));
  }
  const TLiveness::TWatch alive = Watch();
  if (phase_ == kEstablished && flushed == TFlush::kDone) TLineSocket::DoWrite();
  // A send that failed inside the TLS library is told here, where handlers may run.
  if (alive && !pending_failure_.empty()) Fail(pending_failure_);
}

void TTlsLineSocket::DoDisconnect() {
  if (phase_ == kHandshaking) {
    // What came before the close may say why (an alert).
    PumpHandshake();
    if (phase_ == kHandshaking) {
      Fail(received_any_ ? "The server closed the connection during the TLS handshake"
                         : kNotTlsMessage);
    }
    return;
  }
  // The peer's end comes once the connection is read out, while whole records
  // may still wait inside the TLS library: their lines go first.
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle();
  while (phase_ == kEstablished && HoldsUnreadRecords()) {
    const std::uint64_t before = ReceivedTotal();
    TLineSocket::DoRead();
    if (!alive || Handle() != handle) return;
    if (ReceivedTotal() == before) break;
  }
  TLineSocket::DoDisconnect();
}

void TTlsLineSocket::Fail(std::string Reason) {
  if (handshake_timer_) handshake_timer_->SetEnabled(false);
  phase_ = kFailed;
  pending_failure_.clear();
  const TLiveness::TWatch alive = Watch();
  const winsock::SOCKET handle = Handle();
  sockets::RaiseEvent(OnFailure, *this, Reason);
  if (alive && Handle() == handle && handle != winsock::INVALID_SOCKET) Close();
}

void TTlsLineSocket::Close() {
  if (phase_ == kEstablished && Handle() != winsock::INVALID_SOCKET) {
    SSL_shutdown(session_->ssl);
    FlushRecords();
  }
  if (handshake_timer_) handshake_timer_->SetEnabled(false);
  // A session the user was asked about ends with its connection: a late
  // "Connect anyway" opens nothing, and the records held for it go.
  if (phase_ == kAwaitingDecision) EndSession();
  TLineSocket::Close();
}

}  // namespace tls
