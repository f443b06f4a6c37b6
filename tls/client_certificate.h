// A client certificate for TLS: the certificate, its chain and its private key,
// read from PEM files once and handed to each connection that should send it.
#pragma once

#include <memory>
#include <string>
#include <vector>

using x509_st = struct x509_st;
using evp_pkey_st = struct evp_pkey_st;

namespace tls {

struct TClientCertificateLoad;

class TClientCertificate {
 public:
  TClientCertificate(x509_st* Certificate, std::vector<x509_st*> Chain, evp_pkey_st* Key);
  ~TClientCertificate();
  TClientCertificate(const TClientCertificate&) = delete;
  TClientCertificate& operator=(const TClientCertificate&) = delete;

  x509_st* Certificate() const { return certificate_; }
  const std::vector<x509_st*>& Chain() const { return chain_; }
  evp_pkey_st* Key() const { return key_; }
  // The certificate's SHA-256 fingerprint, as the server would see it.
  std::string Fingerprint() const;

 private:
  friend TClientCertificateLoad LoadClientCertificate(const std::string&, const std::string&,
                                                      const std::string&);

  x509_st* certificate_;
  std::vector<x509_st*> chain_;
  evp_pkey_st* key_;
};

struct TClientCertificateLoad {
  enum TOutcome { kLoaded, kNeedsPassphrase, kFailed };
  TOutcome Outcome = kFailed;
  std::shared_ptr<const TClientCertificate> Certificate;  // when loaded
  std::string Error;                                      // when failed, in words
};

// Reads the certificate (and any chain after it) from CertificateFile, and the
// key from KeyFile, or from CertificateFile too when KeyFile is empty. A key
// protected by a passphrase needs Passphrase: without one the outcome is
// kNeedsPassphrase; a wrong one fails.
TClientCertificateLoad LoadClientCertificate(const std::string& CertificateFile,
                                             const std::string& KeyFile,
                                             const std::string& Passphrase);

}  // namespace tls
