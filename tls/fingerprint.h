// A certificate's SHA-256 fingerprint, as colon-separated upper-case hex pairs:
// the form testers compare with what their server prints.
#pragma once

#include <string>

using x509_st = struct x509_st;

namespace tls {

std::string FingerprintOf(const x509_st* Certificate);

}  // namespace tls
