// IRC URLs, parsed by Qt's URL class; this file adds what makes one an IRC URL.
#include "Unit1/server_url.h"

#include <QUrl>

namespace unit1 {

namespace {

std::string Utf8(const QString& text) {
  return text.toStdString();
}

}  // namespace

std::string ChannelFrom(const std::string& text, std::string& problem) {
  // A blank or comma would split the JOIN line's channel list, a control
  // character would end or garble it.
  for (const unsigned char c : text) {
    if (c == ' ' || c == ',' || c < 0x20 || c == 0x7F) {
      problem = "The channel holds a blank, a comma or a control character.";
      return "";
    }
  }
  if (text.empty()) {
    problem = "The channel is empty.";
    return "";
  }
  return std::string_view("#&+!").find(text.front()) == std::string_view::npos ? "#" + text : text;
}

std::optional<TServerUrl> ParseServerUrl(const QString& text, std::string& problem) {
  const QUrl url(text, QUrl::StrictMode);
  const auto refuse = [&](std::string why) {
    problem = std::move(why);
    return std::nullopt;
  };
  TServerUrl parts;
  const QString scheme = url.scheme().toLower();
  if (scheme != "irc" && scheme != "ircs") {
    return refuse("Not an IRC URL: it must begin with irc:// or ircs://.");
  }
  parts.Tls = scheme == "ircs";
  if (!url.isValid()) {
    // Qt's words up to its echo of the URL, which may hold a password.
    const QString reason = url.errorString().section(';', 0, 0);
    if (reason.contains("port")) return refuse("The URL's port is not a number from 1 to 65535.");
    return refuse("The URL is malformed: " + Utf8(reason) + ".");
  }
  if (url.host().isEmpty()) return refuse("The URL names no server.");
  parts.Host = Utf8(url.host(QUrl::FullyDecoded));
  const int port = url.port(-1);
  if (port == 0) return refuse("The URL's port is not a number from 1 to 65535.");
  parts.PortGiven = port > 0;
  parts.Port = port > 0 ? std::uint16_t(port) : parts.Tls ? kIrcsPort : kIrcPort;
  if (url.hasQuery()) return refuse("The URL has a query (?…), which the client does not take.");

  if (!url.userName().isEmpty()) parts.NickName = Utf8(url.userName(QUrl::FullyDecoded));
  if (!url.password().isEmpty()) parts.Password = Utf8(url.password(QUrl::FullyDecoded));

  QString channel = url.path(QUrl::FullyDecoded).mid(1);
  if (channel.contains('/')) return refuse("The URL's path holds more than a channel.");
  if (url.hasFragment() && !url.fragment().isEmpty()) {
    if (!channel.isEmpty()) return refuse("The URL names two channels.");
    channel = '#' + url.fragment(QUrl::FullyDecoded);
  }
  if (!channel.isEmpty()) {
    parts.Channel = ChannelFrom(Utf8(channel), problem);
    if (parts.Channel.empty()) return std::nullopt;
  }
  return parts;
}

}  // namespace unit1
