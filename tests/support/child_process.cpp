// Finding, starting, waiting for and ending a fixture's server process.
#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#include "tests/support/loopback_socket.h"

extern char** environ;

namespace testsupport {

std::string FindProgram(std::string_view name) {
  std::string folders = "/usr/sbin:/usr/local/sbin";
  if (const char* path = std::getenv("PATH")) folders = std::string(path) + ":" + folders;
  std::istringstream list(folders);
  for (std::string folder; std::getline(list, folder, ':');) {
    const std::string candidate = folder + "/" + std::string(name);
    if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

pid_t Spawn(const std::vector<std::string>& arguments, const std::filesystem::path& log) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

bool HasEnded(pid_t pid, int* status) {
  int ignored;
  return waitpid(pid, status ? status : &ignored, WNOHANG) == pid;
}

bool WaitForEnd(pid_t pid, std::chrono::steady_clock::duration limit, int* status) {
  const auto deadline = Clock::now() + limit;
  while (!HasEnded(pid, status)) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollStep);
  }
  return true;
}

void EndProcess(pid_t pid, std::chrono::steady_clock::duration grace) {
  kill(pid, SIGTERM);
  if (!WaitForEnd(pid, grace)) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

std::string RunConfigScript(std::vector<std::string> arguments, const std::filesystem::path& log,
                            std::chrono::steady_clock::duration limit) {
  arguments.insert(arguments.begin(), "bash");
  const pid_t writer = Spawn(arguments, log);
  if (writer < 0) return "cannot run bash to write the configuration:\n";
  int status = 0;
  if (!WaitForEnd(writer, limit, &status)) {
    EndProcess(writer, std::chrono::seconds(0));
    return "writing the configuration took too long:\n";
  }
  return status == 0 ? "" : "writing the configuration failed:\n";
}

std::string WaitUntilAccepting(pid_t& pid, std::uint16_t port, std::string_view name,
                               std::chrono::steady_clock::duration limit,
                               std::chrono::steady_clock::duration grace) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (HasEnded(pid)) {
      pid = -1;
      return std::string(name) + " ended while starting:\n";
    }
    // The probe connection is closed at once; the server forgets it.
    if (LoopbackSocket::ConnectTo(port).Valid() && !HasEnded(pid)) return "";
    if (std::chrono::steady_clock::now() >= deadline) {
      EndProcess(std::exchange(pid, -1), grace);
      return std::string(name) + " accepted no connection within " +
             std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limit).count()) +
             " s:\n";
    }
    std::this_thread::sleep_for(kPollStep);
  }
}

void EndServer(pid_t& pid, std::filesystem::path& folder,
               std::chrono::steady_clock::duration grace) {
  if (pid > 0) EndProcess(std::exchange(pid, -1), grace);
  if (folder.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  folder.clear();
}

std::string ReadLog(const std::filesystem::path& folder, const char* name) {
  if (folder.empty()) return "";
  std::ifstream file(folder / name);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace testsupport
