// Reading a finished handshake's facts into plain text.
#include "tls/tls_facts.h"

#include "tls/fingerprint.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <ctime>
#include <memory>

namespace tls {

namespace {

struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Free {
  void operator()(X509* cert) const { X509_free(cert); }
};

std::string NameText(const X509_NAME* name) {
  std::unique_ptr<BIO, BioFree> out(BIO_new(BIO_s_mem()));
  if (!out || name == nullptr) return {};
  X509_NAME_print_ex(out.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  const long length = BIO_get_mem_data(out.get(), &data);
  return std::string(data, std::size_t(length > 0 ? length : 0));
}

std::string TimeText(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return "?";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return text;
}

}  // namespace

TTlsFacts FactsOf(ssl_st* ssl) {
  TTlsFacts facts;
  facts.Protocol = SSL_get_version(ssl);
  facts.Cipher = SSL_CIPHER_get_name(SSL_get_current_cipher(ssl));
  const std::unique_ptr<X509, X509Free> cert(SSL_get1_peer_certificate(ssl));
  const long verdict = SSL_get_verify_result(ssl);
  if (cert) {
    facts.Subject = NameText(X509_get_subject_name(cert.get()));
    facts.Issuer = NameText(X509_get_issuer_name(cert.get()));
    facts.NotBefore = TimeText(X509_get0_notBefore(cert.get()));
    facts.NotAfter = TimeText(X509_get0_notAfter(cert.get()));
    facts.Fingerprint = FingerprintOf(cert.get());
  }
  facts.Verified = cert && verdict == X509_V_OK;
  if (!cert) {
    facts.VerifyError = "the server sent no certificate";
  } else if (verdict != X509_V_OK) {
    facts.VerifyError = X509_verify_cert_error_string(verdict);
  }
  return facts;
}

}  // namespace tls
