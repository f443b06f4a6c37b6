// Making the test certificates with the TLS library's own calls.
#include "tests/support/test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tls/fingerprint.h"

namespace testsupport {
namespace {

constexpr long kDay = 24 * 60 * 60;

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (key == nullptr) throw std::runtime_error("test certificates: no key");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  if (extension == nullptr) throw std::runtime_error("test certificates: bad extension");
  X509_add_ext(cert, extension, -1);
  X509_EXTENSION_free(extension);
}

// A certificate for `name`, valid from `from` to `to` seconds from now, signed
// by `issuer` (itself when null).
X509* NewCertificate(const char* name, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuer_key, long from,
                     long to, const char* alt_names, bool is_ca) {
  static long serial = 1;
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
  X509_gmtime_adj(X509_getm_notBefore(cert), from);
  X509_gmtime_adj(X509_getm_notAfter(cert), to);
  X509_set_pubkey(cert, key);
  X509_NAME* subject = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(name), -1, -1, 0);
  X509_set_issuer_name(cert, issuer != nullptr ? X509_get_subject_name(issuer) : subject);
  X509* signer = issuer != nullptr ? issuer : cert;
  AddExtension(cert, signer, NID_basic_constraints, is_ca ? "critical,CA:TRUE" : "CA:FALSE");
  if (alt_names != nullptr) AddExtension(cert, signer, NID_subject_alt_name, alt_names);
  X509_sign(cert, issuer_key != nullptr ? issuer_key : key, EVP_sha256());
  return cert;
}

void Write(const std::filesystem::path& path, X509* cert, EVP_PKEY* key,
           const char* passphrase = nullptr) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) throw std::runtime_error("test certificates: cannot write " + path.string());
  if (cert != nullptr) PEM_write_X509(file, cert);
  if (key != nullptr) {
    const EVP_CIPHER* cipher = passphrase != nullptr ? EVP_aes_128_cbc() : nullptr;
    PEM_write_PrivateKey(file, key, cipher, reinterpret_cast<const unsigned char*>(passphrase),
                         passphrase != nullptr ? int(std::string(passphrase).size()) : 0, nullptr,
                         nullptr);
  }
  std::fclose(file);
}

}  // namespace

TestCertificates::TestCertificates() {
  char pattern[] = "/tmp/irc-certs-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("test certificates: no folder");
  folder_ = pattern;
  const char* kHere = "DNS:localhost,IP:127.0.0.1";

  EVP_PKEY* ca_key = NewKey();
  X509* ca = NewCertificate("Test CA", ca_key, nullptr, nullptr, -kDay, 30 * kDay, nullptr, true);
  Write(folder_ / "ca.pem", ca, nullptr);

  EVP_PKEY* key = NewKey();
  X509* trusted = NewCertificate("localhost", key, ca, ca_key, -kDay, 30 * kDay, kHere, false);
  Write(folder_ / "trusted.pem", trusted, key);
  X509* trusted6 =
      NewCertificate("ip6-localhost", key, ca, ca_key, -kDay, 30 * kDay, "IP:::1", false);
  Write(folder_ / "trusted-ipv6.pem", trusted6, key);
  X509* self_signed =
      NewCertificate("localhost", key, nullptr, nullptr, -kDay, 30 * kDay, kHere, false);
  Write(folder_ / "self-signed.pem", self_signed, key);
  X509* expired = NewCertificate("localhost", key, ca, ca_key, -30 * kDay, -kDay, kHere, false);
  Write(folder_ / "expired.pem", expired, key);

  EVP_PKEY* client_key = NewKey();
  X509* client =
      NewCertificate("Tolvex", client_key, nullptr, nullptr, -kDay, 30 * kDay, nullptr, false);
  Write(folder_ / "client.pem", client, client_key);
  Write(folder_ / "client-cert.pem", client, nullptr);
  Write(folder_ / "client-key-encrypted.pem", nullptr, client_key, kKeyPassphrase);
  client_fingerprint_ = tls::FingerprintOf(client);

  for (X509* cert : {ca, trusted, trusted6, self_signed, expired, client}) X509_free(cert);
  for (EVP_PKEY* k : {ca_key, key, client_key}) EVP_PKEY_free(k);
}

TestCertificates::~TestCertificates() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

}  // namespace testsupport
