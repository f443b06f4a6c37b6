#include "tls/fingerprint.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include "bytes/hex_digits.h"

namespace tls {

std::string FingerprintOf(const x509_st* Certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (Certificate == nullptr || X509_digest(Certificate, EVP_sha256(), digest, &length) != 1) {
    return {};
  }
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    if (i > 0) text += ':';
    bytes::AppendHexByte(digest[i], text);
  }
  return text;
}

}  // namespace tls
