// Starting and stopping the test's ngircd: the configuration comes from the same
// script that the local server for trying the client uses, the server's output goes
// to a log file in its folder, and every wait has a deadline.
#include "tests/support/ircd_fixture.h"

#include <fstream>
#include <sstream>

namespace testsupport {

bool IrcdFixture::Installed() {
  return !FindProgram("ngircd").empty();
}

std::string IrcdFixture::Start(Motd motd, std::string_view extra_config) {
  return StartServer([&](const std::string& program) -> std::string {
    const std::string written = RunConfigScript(
        {IRCD_CONFIG_SCRIPT, std::to_string(Port()), folder_.string(), "--test"}, LogPath());
    if (!written.empty()) return written;
    if (motd == Motd::kMissing && !DropMotd()) return "cannot drop the message of the day:\n";
    if (!WriteExtraConfig(extra_config)) return "cannot write the extra configuration:\n";
    return Run({program, "-n", "-f", (folder_ / "ngircd.conf").string()});
  });
}

bool IrcdFixture::DropMotd() const {
  const std::filesystem::path config = folder_ / "ngircd.conf";
  std::ifstream in(config);
  std::ostringstream kept;
  bool dropped = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("MotdPhrase")) {
      line = "MotdFile = " + (folder_ / "missing.motd").string();
      dropped = true;
    }
    kept << line << '\n';
  }
  std::ofstream out(config, std::ios::trunc);
  out << kept.str();
  return dropped && out.good();
}

bool IrcdFixture::WriteExtraConfig(std::string_view extra_config) const {
  if (extra_config.empty()) return true;
  // The configuration reads every *.conf of this folder after itself.
  std::ofstream out(folder_ / "conf.d" / "extra.conf", std::ios::trunc);
  out << extra_config;
  return out.good();
}

}  // namespace testsupport
