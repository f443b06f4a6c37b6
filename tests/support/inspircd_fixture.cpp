// Starting and stopping the test's InspIRCd: configured by scripts/inspircd-config,
// in the foreground with its output in a log file of its folder, as "nobody" when
// the test runs as root (through setpriv, which runs it in its own process, so
// that ending the process ends the server).
#include "tests/support/inspircd_fixture.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/loopback_socket.h"

namespace testsupport {
namespace {

using namespace std::chrono_literals;

constexpr auto kStartLimit = 10s;
constexpr auto kStopLimit = 5s;
constexpr int kStartAttempts = 3;
constexpr const char* kUnprivilegedUser = "nobody";

}  // namespace

bool InspircdFixture::Installed() {
  return !FindProgram("inspircd").empty();
}

std::string InspircdFixture::Start(int ping_seconds) {
  Stop();
  const std::string program = FindProgram("inspircd");
  if (program.empty()) return "inspircd is not installed";
  std::string folder_template =
      (std::filesystem::temp_directory_path() / "inspircd-fixture-XXXXXX").string();
  if (mkdtemp(folder_template.data()) == nullptr) return "cannot make a temporary folder";
  folder_ = folder_template;

  std::string error;
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    error = StartOnce(program, ping_seconds);
    if (error.empty()) return "";
  }
  error += Log();
  Stop();
  return error;
}

std::string InspircdFixture::StartOnce(const std::string& program, int ping_seconds) {
  port_ = LoopbackSocket::BoundOnly().Port();
  const std::filesystem::path log = folder_ / "inspircd.log";
  const std::string written = RunConfigScript({INSPIRCD_CONFIG_SCRIPT, std::to_string(port_),
                                               folder_.string(), std::to_string(ping_seconds)},
                                              log, kStartLimit);
  if (!written.empty()) return written;

  std::vector<std::string> command = {program, "--nofork", "--nopid",
                                      "--config=" + (folder_ / "inspircd.conf").string()};
  if (geteuid() == 0) {
    const passwd* user = getpwnam(kUnprivilegedUser);
    if (user == nullptr) return "there is no user \"nobody\" to run inspircd as:\n";
    if (!HandOverFolder()) return "cannot hand the folder to \"nobody\":\n";
    command.insert(command.begin(), {"setpriv", "--reuid=" + std::to_string(user->pw_uid),
                                     "--regid=" + std::to_string(user->pw_gid), "--clear-groups"});
  }
  pid_ = Spawn(command, log);
  if (pid_ < 0) return "inspircd did not start:\n";
  return WaitUntilAccepting(pid_, port_, "inspircd", kStartLimit, kStopLimit);
}

bool InspircdFixture::HandOverFolder() const {
  const passwd* user = getpwnam(kUnprivilegedUser);
  if (user == nullptr) return false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) {
    if (chown(entry.path().c_str(), user->pw_uid, user->pw_gid) != 0) return false;
  }
  return chown(folder_.c_str(), user->pw_uid, user->pw_gid) == 0;
}

void InspircdFixture::Stop() {
  EndServer(pid_, folder_, kStopLimit);
}

std::string InspircdFixture::Log() const {
  return ReadLog(folder_, "inspircd.log");
}

}  // namespace testsupport
