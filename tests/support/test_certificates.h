// Certificates for TLS tests, made fresh in a temporary folder that goes with
// the object: a test CA, a server certificate it signed for 127.0.0.1 and
// localhost, one it signed for ::1 alone, a self-signed one, an expired one (signed by the CA), and
// a client certificate with its key in the same file, and again with the key encrypted under the
// passphrase "open sesame" in a file of its own.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

class TestCertificates {
 public:
  static constexpr const char* kKeyPassphrase = "open sesame";

  TestCertificates();
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;

  // Each server certificate with its key in one PEM file.
  std::string CaFile() const { return Path("ca.pem"); }
  std::string Trusted() const { return Path("trusted.pem"); }
  std::string TrustedForIPv6Loopback() const { return Path("trusted-ipv6.pem"); }
  std::string SelfSigned() const { return Path("self-signed.pem"); }
  std::string Expired() const { return Path("expired.pem"); }
  // The client's certificate and key in one file; the certificate alone, and
  // its key encrypted, in two others.
  std::string Client() const { return Path("client.pem"); }
  std::string ClientCertificateOnly() const { return Path("client-cert.pem"); }
  std::string ClientEncryptedKey() const { return Path("client-key-encrypted.pem"); }
  // The SHA-256 fingerprint of the client certificate, in colon-separated hex.
  const std::string& ClientFingerprint() const { return client_fingerprint_; }

 private:
  std::string Path(const char* name) const { return (folder_ / name).string(); }

  std::filesystem::path folder_;
  std::string client_fingerprint_;
};

}  // namespace testsupport
