// Starting and stopping the test's InspIRCd: configured by scripts/inspircd-config,
// in the foreground with its output in a log file of its folder, as "nobody" when
// the test runs as root (through setpriv, which runs it in its own process, so
// that ending the process ends the server).
#include "tests/support/inspircd_fixture.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace testsupport {
namespace {

constexpr const char* kUnprivilegedUser = "nobody";

}  // namespace

std::string InspircdFixture::Start(int ping_seconds) {
  return StartServer([&](const std::string& program) -> std::string {
    const std::string written = RunConfigScript({INSPIRCD_CONFIG_SCRIPT, std::to_string(Port()),
                                                 folder_.string(), std::to_string(ping_seconds)},
                                                LogPath());
    if (!written.empty()) return written;
    std::vector<std::string> command = {program, "--nofork", "--nopid",
                                        "--config=" + (folder_ / "inspircd.conf").string()};
    if (geteuid() == 0) {
      const passwd* user = getpwnam(kUnprivilegedUser);
      if (user == nullptr) return "there is no user \"nobody\" to run inspircd as:\n";
      if (!HandOverFolder()) return "cannot hand the folder to \"nobody\":\n";
      command.insert(command.begin(),
                     {"setpriv", "--reuid=" + std::to_string(user->pw_uid),
                      "--regid=" + std::to_string(user->pw_gid), "--clear-groups"});
    }
    return Run(command);
  });
}

bool InspircdFixture::HandOverFolder() const {
  const passwd* user = getpwnam(kUnprivilegedUser);
  if (user == nullptr) return false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) {
    if (chown(entry.path().c_str(), user->pw_uid, user->pw_gid) != 0) return false;
  }
  return chown(folder_.c_str(), user->pw_uid, user->pw_gid) == 0;
}

}  // namespace testsupport
