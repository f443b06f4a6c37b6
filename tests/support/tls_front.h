// A TLS front for a plain test server: it accepts TLS connections on a free port
// of 127.0.0.1 (or ::1) with a given certificate, one at a time, and relays the plain
// bytes to and from a new connection to the backend's port, so that the scripted
// server's exact cases run over TLS too. It asks each client for a certificate
// and remembers the fingerprint of the one it sent, and the server name the
// client named.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/loopback_socket.h"

using ssl_st = struct ssl_st;

namespace testsupport {

class TlsFront {
 public:
  // `certificate_file` holds the certificate and its key.
  TlsFront(std::string certificate_file, std::uint16_t backend_port, bool on_ipv6_loopback = false);
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  std::uint16_t Port() const { return listener_.Port(); }
  // The SHA-256 fingerprint of the last client's certificate; empty when it
  // sent none.
  std::string ClientFingerprint() const;
  // The server name the last client sent (SNI); empty when it sent none.
  std::string ServerNameSent() const;

 private:
  void Serve();
  void Relay(LoopbackSocket client);
  void Close(ssl_st* ssl, const LoopbackSocket& client);

  std::string certificate_file_;
  std::uint16_t backend_port_;
  LoopbackSocket listener_;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::string client_fingerprint_;
  std::string server_name_sent_;
  std::thread thread_;
};

}  // namespace testsupport
