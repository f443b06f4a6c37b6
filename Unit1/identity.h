// TIdentity: who the client registers as, and how, for this run. The window holds
// one, the identity dialog edits it, and each Connect reads it; it is never
// written anywhere.
#pragma once

#include <string>

#include "irc/registration.h"

namespace unit1 {

using TRegistrationKind = irc::TRegistrationKind;
using TSaslMechanism = irc::TSaslMechanism;

struct TIdentity {
  std::string NickName = "Tolvex";
  std::string UserName = "Quillamore";
  // Empty: no PASS line.
  std::string Password = "Mossel";
  // Used by the SASL registration only.
  std::string SaslAccount;
  std::string SaslPassword;
  TRegistrationKind Registration = TRegistrationKind::rkAutomatic;
  TSaslMechanism SaslMechanism = TSaslMechanism::smPlain;
  // The client certificate for TLS (and SASL EXTERNAL): file paths, empty for none.
  std::string ClientCertificateFile;
  std::string ClientKeyFile;

  bool operator==(const TIdentity&) const = default;

  // What the registration needs of it.
  irc::TLogin Login() const;
};

// Why the identity cannot be used, for the user; empty when it can. The texts
// go out as words of IRC lines, so they may hold no blank and no line end; the
// file paths may hold blanks, but no line end either.
std::string IdentityProblem(const TIdentity& identity);

}  // namespace unit1
