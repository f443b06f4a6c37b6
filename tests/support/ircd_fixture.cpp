// Starting and stopping the test's ngircd: the configuration comes from the same
// script that the local server for trying the client uses, the server's output goes
// to a log file in its folder, and every wait has a deadline.
#include "tests/support/ircd_fixture.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/child_process.h"
#include "tests/support/loopback_socket.h"

namespace testsupport {
namespace {

using namespace std::chrono_literals;

constexpr auto kStartLimit = 10s;
constexpr auto kStopLimit = 5s;
// A port found free can be taken by someone else before the server binds it.
constexpr int kStartAttempts = 3;

}  // namespace

bool IrcdFixture::Installed() {
  return !FindProgram("ngircd").empty();
}

std::string IrcdFixture::Start(Motd motd, std::string_view extra_config) {
  Stop();
  motd_ = motd;
  extra_config_ = extra_config;
  const std::string program = FindProgram("ngircd");
  if (program.empty()) return "ngircd is not installed";
  std::string folder_template =
      (std::filesystem::temp_directory_path() / "ircd-fixture-XXXXXX").string();
  if (mkdtemp(folder_template.data()) == nullptr) return "cannot make a temporary folder";
  folder_ = folder_template;

  std::string error;
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    error = StartOnce(program);
    if (error.empty()) return "";
  }
  error += Log();
  Stop();
  return error;
}

std::string IrcdFixture::StartOnce(const std::string& program) {
  // A port that was free a moment ago.
  port_ = LoopbackSocket::BoundOnly().Port();
  const std::filesystem::path log = folder_ / "ngircd.log";
  const std::string written = RunConfigScript(
      {IRCD_CONFIG_SCRIPT, std::to_string(port_), folder_.string(), "--test"}, log, kStartLimit);
  if (!written.empty()) return written;
  if (motd_ == Motd::kMissing && !DropMotd()) return "cannot drop the message of the day:\n";
  if (!WriteExtraConfig()) return "cannot write the extra configuration:\n";

  pid_ = Spawn({program, "-n", "-f", (folder_ / "ngircd.conf").string()}, log);
  if (pid_ < 0) return "ngircd did not start:\n";
  return WaitUntilAccepting(pid_, port_, "ngircd", kStartLimit, kStopLimit);
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

bool IrcdFixture::WriteExtraConfig() const {
  if (extra_config_.empty()) return true;
  // The configuration reads every *.conf of this folder after itself.
  std::ofstream out(folder_ / "conf.d" / "extra.conf", std::ios::trunc);
  out << extra_config_;
  return out.good();
}

void IrcdFixture::Stop() {
  EndServer(pid_, folder_, kStopLimit);
}

std::string IrcdFixture::Log() const {
  return ReadLog(folder_, "ngircd.log");
}

}  // namespace testsupport
