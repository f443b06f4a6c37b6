// Starting and stopping the test's ngircd: the configuration comes from the same
// script that the local server for trying the client uses, the server's output goes
// to a log file in its folder, and every wait has a deadline.
#include "tests/support/ircd_fixture.h"

#include <fstream>

namespace testsupport {

std::string IrcdFixture::Start(Motd motd, std::string_view extra_config, std::string_view listen) {
  return StartServer([&](const std::string& program) -> std::string {
    const std::string written = RunConfigScript(
        {IRCD_CONFIG_SCRIPT, std::to_string(Port()), folder_.string(), "--test"}, LogPath());
    if (!written.empty()) return written;
    if (!listen.empty() && !ReplaceConfigLine("Listen", "Listen = " + std::string(listen))) {
      return "cannot set Listen:\n";
    }
    if (motd == Motd::kMissing && !DropMotd()) return "cannot drop the message of the day:\n";
    if (!WriteExtraConfig(extra_config)) return "cannot write the extra configuration:\n";
    return Run({program, "-n", "-f", (folder_ / "ngircd.conf").string()});
  });
}

bool IrcdFixture::DropMotd() const {
  return ReplaceConfigLine("MotdPhrase", "MotdFile = " + (folder_ / "missing.motd").string());
}

bool IrcdFixture::ReplaceConfigLine(std::string_view key, const std::string& line) const {
  const std::filesystem::path config = folder_ / "ngircd.conf";
  std::string text = ReadFile(config);
  const std::size_t at = text.find("\n" + std::string(key));
  if (at == std::string::npos) return false;
  text.replace(at + 1, text.find('\n', at + 1) - at - 1, line);
  std::ofstream out(config, std::ios::trunc);
  out << text;
  return out.good();
}

bool IrcdFixture::WriteExtraConfig(std::string_view extra_config) const {
  if (extra_config.empty()) return true;
  // The configuration reads every *.conf of this folder after itself.
  std::ofstream out(folder_ / "conf.d" / "extra.conf", std::ios::trunc);
  out << extra_config;
  return out.good();
}

}  // namespace testsupport
