// The command line: Qt's parser for the options, the URL taken apart, the
// files read, and every value checked as the identity dialog checks it.
#include "Unit1/command_line.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <iterator>

#include "Unit1/command_line_options.h"
#include "Unit1/server_url.h"

namespace unit1 {

namespace {

constexpr unsigned kLongestScriptInterval = 3'600'000;

// Thrown while parsing, caught once: the problem, as the user reads it.
struct TRefusal {
  std::string Problem;
};

std::string Utf8(const QString& text) {
  return text.toStdString();
}

std::string Quoted(const QString& text) {
  return "'" + Utf8(text) + "'";
}

// The words of `text` in lines of at most 79 columns, each after `indent`
// columns; the first line's indent is already written.
std::string Wrapped(std::string_view text, std::size_t indent) {
  constexpr std::size_t kWidth = 79;
  std::string lines;
  std::size_t column = indent;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(' '), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (column > indent && column + 1 + word.size() > kWidth) {
      lines += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (column > indent) {
      lines += ' ';
      ++column;
    }
    lines += word;
    column += word.size();
  }
  return lines + "\n";
}

std::string HelpText() {
  constexpr std::size_t kHelpColumn = 30;
  std::string text = "Usage: ircclient [OPTIONS] [URL]\n\nURL: " + std::string(kUrlForm) + "\n  " +
                     Wrapped(kUrlHelp, 2) + "\nOptions:\n";
  for (const TOptionEntry& option : kCommandLineOptions) {
    std::string names = option.Short.empty() ? "      " : "  -" + std::string(option.Short) + ", ";
    names += "--" + std::string(option.Long);
    if (!option.Value.empty()) names += " " + std::string(option.Value);
    names += names.size() + 2 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                            : std::string(kHelpColumn - names.size(), ' ');
    text += names + Wrapped(option.Help, kHelpColumn);
  }
  return text;
}

QString Option(std::string_view name) {
  return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// The whole file, or its first line without the line end. "-" reads standard
// input: its next line, or the rest of it.
std::string ReadFile(const QString& path, std::istream& standard_input, bool first_line_only,
                     const char* what) {
  std::string text;
  if (path == "-" && first_line_only) {
    std::getline(standard_input, text);
  } else if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(standard_input), {});
  } else {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      throw TRefusal{"Cannot read the " + std::string(what) + " " + Quoted(path) + ": " +
                     Utf8(file.errorString()) + "."};
    }
    text = file.readAll().toStdString();
    if (first_line_only) text = text.substr(0, text.find('\n'));
  }
  if (first_line_only && text.ends_with('\r')) text.pop_back();
  return text;
}

// A file read at connect: it must be readable now, and is named by its full path.
std::string ReadableFile(const QString& path, const char* what) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw TRefusal{"Cannot read the " + std::string(what) + " " + Quoted(path) + ": " +
                   Utf8(file.errorString()) + "."};
  }
  return Utf8(QFileInfo(path).absoluteFilePath());
}

unsigned Number(const QString& text, unsigned least, unsigned most, const char* what) {
  // Digits only: no sign, no blank, no base prefix.
  const bool digits = !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                                     [](QChar c) { return c >= '0' && c <= '9'; });
  bool ok = false;
  const unsigned value = text.toUInt(&ok);
  if (!digits || !ok || value < least || value > most) {
    throw TRefusal{"The " + std::string(what) + " must be a number from " + std::to_string(least) +
                   " to " + std::to_string(most) + ": " + Quoted(text) + "."};
  }
  return value;
}

TRegistrationKind RegistrationOf(const QString& text) {
  if (text == "auto") return TRegistrationKind::rkAutomatic;
  if (text == "sasl") return TRegistrationKind::rkSasl;
  if (text == "manual") return TRegistrationKind::rkByHand;
  throw TRefusal{"Unknown registration " + Quoted(text) + ": auto, sasl or manual."};
}

TSaslMechanism MechanismOf(const QString& text) {
  if (text.compare("plain", Qt::CaseInsensitive) == 0) return TSaslMechanism::smPlain;
  if (text.compare("external", Qt::CaseInsensitive) == 0) return TSaslMechanism::smExternal;
  throw TRefusal{"Unknown SASL mechanism " + Quoted(text) + ": plain or external."};
}

// The URL's parts; its port only when it names one, since --tls may yet choose
// the port.
void ApplyUrl(const QString& text, TStartSettings& settings) {
  std::string problem;
  const std::optional<TServerUrl> url = ParseServerUrl(text, problem);
  if (!url) throw TRefusal{problem};
  settings.Server = url->Host;
  if (url->PortGiven) settings.Port = std::to_string(url->Port);
  settings.Tls = url->Tls;
  if (!url->Channel.empty()) settings.Channel = url->Channel;
  if (url->NickName) settings.Identity.NickName = *url->NickName;
  if (url->Password) settings.Identity.Password = *url->Password;
  settings.Connect = true;
}

// The options over what the URL gave.
void ApplyOptions(const QCommandLineParser& parser, std::istream& standard_input,
                  TStartSettings& settings) {
  const auto given = [&](const char* name) { return parser.isSet(name); };
  const auto value = [&](const char* name) { return parser.value(name); };
  TIdentity& identity = settings.Identity;
  if (given("nick")) identity.NickName = Utf8(value("nick"));
  if (given("user")) identity.UserName = Utf8(value("user"));
  if (given("tls")) settings.Tls = true;
  if (given("port")) settings.Port = std::to_string(Number(value("port"), 1, 65535, "port"));
  if (given("channel")) {
    std::string problem;
    settings.Channel = ChannelFrom(Utf8(value("channel")), problem);
    if (settings.Channel->empty()) throw TRefusal{problem};
  }
  if (given("sasl")) {
    identity.SaslMechanism = MechanismOf(value("sasl"));
    identity.Registration = TRegistrationKind::rkSasl;
  }
  if (given("register")) identity.Registration = RegistrationOf(value("register"));
  if (given("sasl-account")) identity.SaslAccount = Utf8(value("sasl-account"));
  if (given("password-file")) {
    identity.Password = ReadFile(value("password-file"), standard_input, true, "password file");
  }
  if (given("sasl-password-file")) {
    identity.SaslPassword =
        ReadFile(value("sasl-password-file"), standard_input, true, "SASL password file");
  }
  if (given("cert")) identity.ClientCertificateFile = ReadableFile(value("cert"), "certificate");
  if (given("key")) identity.ClientKeyFile = ReadableFile(value("key"), "key file");
  for (const QString& text : parser.values("trust")) {
    const std::string fingerprint = NormalFingerprint(Utf8(text));
    if (fingerprint.empty()) {
      throw TRefusal{"Not a SHA-256 fingerprint (64 hex digits, colons allowed): " + Quoted(text) +
                     "."};
    }
    settings.TrustedFingerprints.push_back(fingerprint);
  }
  if (given("script")) {
    settings.Script.Lines = ScriptLines(ReadFile(value("script"), standard_input, false, "script"));
  }
  if (given("script-interval")) {
    settings.Script.IntervalMs =
        Number(value("script-interval"), 0, kLongestScriptInterval, "script interval");
  }
  if (given("connect")) settings.Connect = true;
  if (const std::string problem = IdentityProblem(identity); !problem.empty()) {
    throw TRefusal{problem};
  }
}

}  // namespace

std::string NormalFingerprint(const std::string& text) {
  std::string digits;
  for (const char c : text) {
    if (c == ':') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return "";
    digits += char(std::toupper(static_cast<unsigned char>(c)));
  }
  if (digits.size() != 64) return "";
  std::string fingerprint;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    if (i > 0) fingerprint += ':';
    fingerprint += digits.substr(i, 2);
  }
  return fingerprint;
}

std::string UsageHint() {
  return "Usage: ircclient [OPTIONS] [URL]; ircclient --help lists the options.";
}

TCommandLine ParseCommandLine(const QStringList& arguments, std::istream& standard_input) {
  QCommandLineParser parser;
  for (const TOptionEntry& entry : kCommandLineOptions) {
    QStringList names = {Option(entry.Long)};
    if (!entry.Short.empty()) names.prepend(Option(entry.Short));
    parser.addOption(QCommandLineOption(names, Option(entry.Help), Option(entry.Value)));
  }
  TCommandLine result;
  try {
    if (!parser.parse(arguments)) throw TRefusal{Utf8(parser.errorText())};
    if (parser.isSet("help")) return {TCommandLine::kShowHelp, HelpText(), {}};
    if (parser.isSet("version")) {
      return {TCommandLine::kShowVersion, "ircclient " IRC_VERSION "\n", {}};
    }
    const QStringList urls = parser.positionalArguments();
    if (urls.size() > 1) throw TRefusal{"More than one URL."};
    const bool url_given = urls.size() == 1;
    if (url_given) ApplyUrl(urls.front(), result.Settings);
    ApplyOptions(parser, standard_input, result.Settings);
    // A URL without a port connects to its scheme's, or to TLS's after --tls.
    if (url_given && !result.Settings.Port) {
      result.Settings.Port = std::to_string(result.Settings.Tls ? kIrcsPort : kIrcPort);
    }
    result.Settings.JoinOnConnect = result.Settings.Connect && result.Settings.Channel.has_value();
  } catch (const TRefusal& refusal) {
    return {TCommandLine::kRefuse, refusal.Problem, {}};
  }
  return result;
}

}  // namespace unit1
