// The identity's checks, and what registration takes of it.
#include "Unit1/identity.h"

#include <string_view>

namespace unit1 {

namespace {

// What no IRC line or file path may hold: a line end ends the line early, and a
// NUL ends it for many servers or adds a field to a SASL PLAIN answer.
std::string Unsendable(std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return " holds a line end.";
  if (text.find('\0') != std::string_view::npos) return " holds a NUL character.";
  return "";
}

}  // namespace

irc::TLogin TIdentity::Login() const {
  return {NickName, UserName, Password, SaslAccount, SaslPassword, Registration, SaslMechanism};
}

std::string IdentityProblem(const TIdentity& identity) {
  if (identity.NickName.empty()) return "The nickname is empty.";
  // A USER line without a user name is refused by every server.
  if (identity.UserName.empty()) return "The user name is empty.";
  const std::pair<std::string_view, const std::string*> words[] = {
      {"nickname", &identity.NickName},          {"user name", &identity.UserName},
      {"server password", &identity.Password},   {"SASL account", &identity.SaslAccount},
      {"SASL password", &identity.SaslPassword},
  };
  for (const auto& [name, text] : words) {
    if (text->find(' ') != std::string::npos) {
      return "The " + std::string(name) + " holds a blank.";
    }
    if (const std::string why = Unsendable(*text); !why.empty())
      return "The " + std::string(name) + why;
  }
  const std::pair<std::string_view, const std::string*> paths[] = {
      {"client certificate file", &identity.ClientCertificateFile},
      {"client key file", &identity.ClientKeyFile},
  };
  for (const auto& [name, text] : paths) {
    if (const std::string why = Unsendable(*text); !why.empty())
      return "The " + std::string(name) + why;
  }
  if (identity.Registration == TRegistrationKind::rkSasl &&
      identity.SaslMechanism == TSaslMechanism::smPlain && identity.SaslAccount.empty()) {
    return "SASL PLAIN needs a SASL account.";
  }
  return "";
}

}  // namespace unit1
