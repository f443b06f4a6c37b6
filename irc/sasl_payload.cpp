// Encoding the SASL credentials.
#include "irc/sasl_payload.h"

#include <cstdint>

namespace irc {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string Base64(std::string_view bytes) {
  std::string encoded;
  encoded.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16;
    if (left > 1) group |= std::uint32_t(std::uint8_t(bytes[i + 1])) << 8;
    if (left > 2) group |= std::uint8_t(bytes[i + 2]);
    encoded += kAlphabet[(group >> 18) & 63];
    encoded += kAlphabet[(group >> 12) & 63];
    encoded += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    encoded += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return encoded;
}

std::string PlainCredentials(std::string_view account, std::string_view password) {
  std::string credentials;
  credentials.append(account).append(1, '\0').append(account).append(1, '\0').append(password);
  return credentials;
}

std::vector<std::string> AuthenticateLines(std::string_view payload) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < payload.size(); i += kAuthenticatePiece) {
    lines.push_back("AUTHENTICATE " + std::string(payload.substr(i, kAuthenticatePiece)));
  }
  if (payload.size() % kAuthenticatePiece == 0) lines.push_back("AUTHENTICATE +");
  return lines;
}

}  // namespace irc
