// The identity's checks, and what registration takes of it.
#include "Unit1/identity.h"

#include <string_view>

namespace unit1 {

namespace {

bool HasLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
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
    if (HasLineEnd(*text)) return "The " + std::string(name) + " holds a line end.";
  }
  const std::pair<std::string_view, const std::string*> paths[] = {
      {"client certificate file", &identity.ClientCertificateFile},
      {"client key file", &identity.ClientKeyFile},
  };
  for (const auto& [name, text] : paths) {
    if (HasLineEnd(*text)) return "The " + std::string(name) + " holds a line end.";
  }
  if (identity.Registration == TRegistrationKind::rkSasl &&
      identity.SaslMechanism == TSaslMechanism::smPlain && identity.SaslAccount.empty()) {
    return "SASL PLAIN needs a SASL account.";
  }
  return "";
}

}  // namespace unit1
