// An IRC URL taken apart: irc://[nick[:password]@]host[:port][/channel], or
// ircs:// for TLS. The channel may also be written /%23chan or /#chan.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace unit1 {

// The ports of irc:// and ircs:// URLs that name none.
constexpr std::uint16_t kIrcPort = 6667;
constexpr std::uint16_t kIrcsPort = 6697;

struct TServerUrl {
  bool Tls = false;
  // Without the brackets of an IPv6 literal.
  std::string Host;
  // The scheme's own port when the URL names none.
  std::uint16_t Port = 0;
  bool PortGiven = false;
  // With its prefix; empty when the URL names no channel.
  std::string Channel;
  std::optional<std::string> NickName;
  std::optional<std::string> Password;

  bool operator==(const TServerUrl&) const = default;
};

// The URL's parts; or nothing, with `problem` saying what is wrong in a
// sentence that never repeats the URL (it may hold a password).
std::optional<TServerUrl> ParseServerUrl(const QString& text, std::string& problem);

// The channel with a # in front unless it begins with a channel prefix, or
// empty with `problem` set when no IRC line could carry it.
std::string ChannelFrom(const std::string& text, std::string& problem);

}  // namespace unit1
