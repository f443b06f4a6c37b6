// What the client answers the server's SASL challenge with: the credentials in
// base64, sent as AUTHENTICATE lines of at most 400 bytes each.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace irc {

constexpr std::size_t kAuthenticatePiece = 400;

std::string Base64(std::string_view bytes);

// PLAIN's credentials: the account named twice (as the identity to act as and the
// one to check), then the password, separated by NUL bytes.
std::string PlainCredentials(std::string_view account, std::string_view password);

// The AUTHENTICATE lines that carry `payload`. An empty payload is "+"; so is a
// last line after a piece of exactly 400 bytes, which tells the server that
// nothing more follows.
std::vector<std::string> AuthenticateLines(std::string_view payload);

}  // namespace irc
