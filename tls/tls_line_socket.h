// TTlsLineSocket: the line socket over TLS. The bytes still cross the socket
// library's send and receive; the TLS library works on two memory buffers
// between them and the line socket, so the handshake and every record are
// driven by the same read and write notifications as clear text, and the read
// budget, line cutting and write-buffer rules stay the line socket's own.
//
// The connect event waits for the handshake: a finished, verified handshake
// raises it at once; an unverified one waits, reading nothing for the line
// socket, until Proceed or Close. The socket never asks the user anything: it
// reports what it found and waits to be told.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tls/client_certificate.h"
#include "tls/tls_facts.h"
#include "transport/line_socket.h"

namespace winsys {
class TTimer;
}

namespace tls {

class TTlsLineSocket;

using TTlsHandshakeEvent = std::function<void(TTlsLineSocket& Socket, const TTlsFacts& Facts)>;
using TTlsFailureEvent = std::function<void(TTlsLineSocket& Socket, const std::string& Reason)>;

// The message for a peer whose first bytes are no TLS record, or that closed
// without any.
inline constexpr const char* kNotTlsMessage =
    "The server did not answer with TLS: is this a TLS port?";

class TTlsLineSocket : public transport::TLineSocket {
 public:
  explicit TTlsLineSocket(sockets::TSockCtrl* Owner);
  ~TTlsLineSocket() override;

  // Read at each connect. ServerName is the host name or address typed: a host
  // name is sent as the server name and the certificate must match it; for an
  // address (IPv4 or IPv6) nothing is sent and the certificate must name the
  // address the connection reached.
  std::string ServerName;
  std::shared_ptr<const TClientCertificate> ClientCertificate;
  // How long the server may take to finish the handshake (0: as long as it
  // likes); the connect itself keeps its own rules.
  unsigned HandshakeTimeOutMs = 15000;

  // Every finished handshake, before the connect event. When Facts.Verified is
  // false the socket waits for Proceed or Close; a handler may call either.
  TTlsHandshakeEvent OnHandshake;
  // The handshake or a later record failed, in words; the socket closes after
  // the handler unless the handler closed it.
  TTlsFailureEvent OnFailure;

  // Goes on with a handshake that was not verified: raises the connect event.
  void Proceed();
  bool Established() const { return phase_ == kEstablished; }
  bool AwaitingDecision() const { return phase_ == kAwaitingDecision; }

  void Connect(std::string HostName, std::string& Address, std::string ServiceName,
               winsock::u_short Port, sockets::TAsyncOptions Options) override;
  // Starts the handshake instead of raising the connect event (a failed
  // connect raises it as usual).
  void DoConnect() override;
  void DoRead() override;
  void DoWrite() override;
  // The peer closed during the handshake: a failure that says so.
  void DoDisconnect() override;
  // Says goodbye (close notify) on an established connection, as far as the
  // connection takes it without waiting.
  void Close() override;

 protected:
  // The connection beneath the records: the socket library's send, receive,
  // last error and waiting bytes. A fuzz target replaces them.
  virtual int RawSend(const void* Buffer, int Count);
  virtual int RawRecv(void* Buffer, int Count);
  virtual int RawError();
  virtual std::uint32_t RawPending();

  std::uint32_t StreamPending() override;
  // Records already received count as input: a close lets them be read.
  winsock::u_long InputWaiting() override { return StreamPending(); }
  // Plain text in, records out: 0 (nothing taken) until the handshake is done
  // and while records of an earlier write still wait for the connection.
  int LibrarySend(const void* Buffer, int Count, const winsock::sockaddr_in* To) override;
  // Records in, plain text out; receives from the connection only when the
  // records held are used up.
  int LibraryRecv(void* Buffer, int Count, winsock::sockaddr_in* From, int* FromLen) override;

 private:
  enum TPhase { kIdle, kHandshaking, kAwaitingDecision, kEstablished, kFailed };
  enum class TFlush { kDone, kBlocked, kError };
  struct TSession;

  void StartHandshake();
  void StartHandshakeTimer();
  void PumpHandshake();
  void FinishHandshake();
  // Received bytes into the TLS library: > 0 taken, 0 end of stream, -1 the
  // socket library's error (would block among them).
  int PullRecords(std::uint32_t Most);
  // Records the TLS library produced, out to the connection.
  TFlush FlushRecords();
  // Reports a failure and closes, unless a handler already did.
  void Fail(std::string Reason);
  void EndSession();
  bool HoldsUnreadRecords() const;

  TPhase phase_ = kIdle;
  std::unique_ptr<TSession> session_;
  std::unique_ptr<winsys::TTimer> handshake_timer_;
  // A failure found where no handler may run (inside a receive); reported when
  // the notification's work is done.
  std::string pending_failure_;
  bool received_any_ = false;
};

}  // namespace tls
