// Reading a finished handshake's facts into plain text.
#include "tls/tls_facts.h"

#include "tls/fingerprint.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

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

// The errors met while verifying one connection's chain, kept with the
// connection and freed with it.
struct TVerifyNotes {
  std::string server_name;
  std::vector<std::string> errors;
};

void FreeNotes(void*, void* notes, CRYPTO_EX_DATA*, int, long, void*) {
  delete static_cast<TVerifyNotes*>(notes);
}

int NotesIndex() {
  static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, FreeNotes);
  return index;
}

TVerifyNotes* NotesOf(const SSL* ssl) {
  return ssl == nullptr ? nullptr : static_cast<TVerifyNotes*>(SSL_get_ex_data(ssl, NotesIndex()));
}

int NoteVerifyError(int preverified, X509_STORE_CTX* store) {
  if (preverified == 1) return 1;
  const auto* ssl = static_cast<const SSL*>(
      X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  if (TVerifyNotes* notes = NotesOf(ssl)) {
    const int error = X509_STORE_CTX_get_error(store);
    const std::string text =
        error == X509_V_ERR_HOSTNAME_MISMATCH || error == X509_V_ERR_IP_ADDRESS_MISMATCH
            ? "does not match " + notes->server_name
            : X509_verify_cert_error_string(error);
    if (std::find(notes->errors.begin(), notes->errors.end(), text) == notes->errors.end()) {
      notes->errors.push_back(text);
    }
  }
  // Going on finds the errors after this one; the user decides on them all.
  return 1;
}

}  // namespace

void NoteEveryVerifyError(ssl_st* ssl, const std::string& server_name) {
  auto notes = std::make_unique<TVerifyNotes>();
  notes->server_name = server_name;
  if (SSL_set_ex_data(ssl, NotesIndex(), notes.get()) == 1) notes.release();
  SSL_set_verify(ssl, SSL_VERIFY_NONE, NoteVerifyError);
}

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
    const TVerifyNotes* notes = NotesOf(ssl);
    if (notes == nullptr || notes->errors.empty()) {
      facts.VerifyError = X509_verify_cert_error_string(verdict);
    } else {
      for (const std::string& error : notes->errors) {
        facts.VerifyError += (facts.VerifyError.empty() ? "" : "; ") + error;
      }
    }
  }
  return facts;
}

}  // namespace tls
