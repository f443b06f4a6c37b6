// Reading a client certificate and its key from PEM files.
#include "tls/client_certificate.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstring>

#include "tls/fingerprint.h"

namespace tls {

namespace {

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
using TBio = std::unique_ptr<BIO, BioFree>;

std::string LastErrorText() {
  const unsigned long code = ERR_peek_last_error();
  ERR_clear_error();
  if (code == 0) return "unknown error";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

// What the key reader's passphrase callback was given, and whether it was asked.
struct TPassphraseAsk {
  const std::string* passphrase;
  bool asked = false;
};

int GivePassphrase(char* buffer, int size, int, void* context) {
  auto* ask = static_cast<TPassphraseAsk*>(context);
  ask->asked = true;
  const std::string& passphrase = *ask->passphrase;
  if (passphrase.empty() || int(passphrase.size()) > size) return -1;
  std::memcpy(buffer, passphrase.data(), passphrase.size());
  return int(passphrase.size());
}

TClientCertificateLoad Failed(std::string error) {
  TClientCertificateLoad load;
  load.Error = std::move(error);
  return load;
}

}  // namespace

TClientCertificate::TClientCertificate(x509_st* Certificate, std::vector<x509_st*> Chain,
                                       evp_pkey_st* Key)
    : certificate_(Certificate), chain_(std::move(Chain)), key_(Key) {}

TClientCertificate::~TClientCertificate() {
  X509_free(certificate_);
  for (X509* cert : chain_) X509_free(cert);
  EVP_PKEY_free(key_);
}

std::string TClientCertificate::Fingerprint() const {
  return FingerprintOf(certificate_);
}

TClientCertificateLoad LoadClientCertificate(const std::string& CertificateFile,
                                             const std::string& KeyFile,
                                             const std::string& Passphrase) {
  ERR_clear_error();
  TBio cert_in(BIO_new_file(CertificateFile.c_str(), "r"));
  if (!cert_in) return Failed(CertificateFile + ": cannot be read (" + LastErrorText() + ")");
  X509* certificate = PEM_read_bio_X509(cert_in.get(), nullptr, nullptr, nullptr);
  if (certificate == nullptr) return Failed(CertificateFile + ": holds no PEM certificate");
  std::vector<X509*> chain;
  while (X509* next = PEM_read_bio_X509(cert_in.get(), nullptr, nullptr, nullptr)) {
    chain.push_back(next);
  }
  ERR_clear_error();
  // Owns the certificate and its chain from here on, also on the ways out
  // without a key; the key joins it at the end.
  auto loaded = std::make_shared<TClientCertificate>(certificate, std::move(chain), nullptr);

  const std::string& key_file = KeyFile.empty() ? CertificateFile : KeyFile;
  TBio key_in(BIO_new_file(key_file.c_str(), "r"));
  if (!key_in) return Failed(key_file + ": cannot be read (" + LastErrorText() + ")");
  TPassphraseAsk ask{&Passphrase};
  EVP_PKEY* key = PEM_read_bio_PrivateKey(key_in.get(), nullptr, GivePassphrase, &ask);
  if (key == nullptr) {
    if (ask.asked && Passphrase.empty()) {
      ERR_clear_error();
      TClientCertificateLoad load;
      load.Outcome = TClientCertificateLoad::kNeedsPassphrase;
      return load;
    }
    if (ask.asked) return Failed(key_file + ": the passphrase does not open the key");
    return Failed(key_file + ": holds no PEM private key");
  }
  if (X509_check_private_key(certificate, key) != 1) {
    EVP_PKEY_free(key);
    return Failed("The key in " + key_file + " does not belong to the certificate");
  }
  TClientCertificateLoad load;
  load.Outcome = TClientCertificateLoad::kLoaded;
  loaded->key_ = key;
  load.Certificate = std::move(loaded);
  return load;
}

}  // namespace tls
