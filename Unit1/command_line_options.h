// The program's options, one table: the parser builds its options from it, and
// so do the help text and the manual page, so that the three never disagree.
#pragma once

#include <string_view>

namespace unit1 {

struct TOptionEntry {
  std::string_view Short;  // one letter, or empty
  std::string_view Long;
  std::string_view Value;  // the value's name; empty for a switch
  std::string_view Help;
};

inline constexpr TOptionEntry kCommandLineOptions[] = {
    {"h", "help", "", "Show the options and end."},
    {"v", "version", "", "Show the version and end."},
    {"", "nick", "NICK", "Register with this nickname."},
    {"", "user", "USER", "Register with this user name."},
    {"", "port", "PORT", "Connect to this port (1 to 65535)."},
    {"", "channel", "CHANNEL", "The channel to join; a # is added when it has no prefix."},
    {"", "tls", "", "Connect with TLS (6697 unless a port is given)."},
    {"", "register", "KIND", "The registration: auto, sasl or manual."},
    {"", "sasl", "MECHANISM", "Log in with SASL: plain or external (implies --register sasl)."},
    {"", "sasl-account", "ACCOUNT", "The SASL account for plain."},
    {"", "password-file", "FILE",
     "Read the server password from the first line of FILE (- reads standard input)."},
    {"", "sasl-password-file", "FILE",
     "Read the SASL password from the first line of FILE (- reads standard input)."},
    {"", "cert", "FILE", "The client certificate (PEM, with its key unless --key is given)."},
    {"", "key", "FILE", "The client certificate's key (PEM)."},
    {"", "trust", "SHA256",
     "Accept only a server certificate with this SHA-256 fingerprint, without asking; "
     "may be given more than once."},
    {"", "script", "FILE",
     "Send the lines of FILE (- reads standard input) once registered, as if typed in "
     "Commands; blank lines and lines starting with # are skipped."},
    {"", "script-interval", "MS", "Wait at least MS milliseconds between two script lines."},
    {"", "connect", "", "Connect at start, also without a URL."},
};

// What the one argument that is not an option may be.
inline constexpr std::string_view kUrlForm = "irc://[NICK[:PASSWORD]@]HOST[:PORT][/CHANNEL]";
inline constexpr std::string_view kUrlHelp =
    "Connect at start to HOST (6667 by default, 6697 with ircs:// for TLS) and join CHANNEL, "
    "written as /chan (a # is added), /%23chan or /#chan.";

}  // namespace unit1
