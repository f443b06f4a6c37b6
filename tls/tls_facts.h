// What a finished handshake tells about a connection: the protocol and cipher,
// the server certificate's facts and the verifier's verdict on it.
#pragma once

#include <string>

using ssl_st = struct ssl_st;

namespace tls {

struct TTlsFacts {
  std::string Protocol;  // "TLSv1.3"
  std::string Cipher;    // "TLS_AES_256_GCM_SHA384"
  std::string Subject;   // one line, "CN = irc.example, O = ..."
  std::string Issuer;
  std::string NotBefore;  // "2026-12-07 21:51:17 UTC"
  std::string NotAfter;
  // The SHA-256 fingerprint of the certificate's DER form, as colon-separated
  // upper-case hex pairs.
  std::string Fingerprint;
  // True when the chain leads to a trusted root and the certificate is valid
  // now and for the host name or address typed.
  bool Verified = false;
  // Why not, in the verifier's words, every error of the chain once, joined by
  // "; " ("self-signed certificate; does not match 127.0.0.1"); empty when
  // verified.
  std::string VerifyError;
};

// Has the verifier go through a server's whole chain, noting every error on
// the way rather than the first alone; a name or address that the certificate
// does not match is named as `server_name` was typed.
void NoteEveryVerifyError(ssl_st* ssl, const std::string& server_name);

// Reads the facts off a connection whose handshake has finished.
TTlsFacts FactsOf(ssl_st* ssl);

}  // namespace tls
