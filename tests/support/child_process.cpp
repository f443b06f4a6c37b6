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
namespace {

using namespace std::chrono_literals;

// Between two looks at a process or a port that give no notice of their own.
constexpr auto kPollStep = 10ms;
constexpr auto kStartLimit = 10s;
constexpr auto kStopLimit = 5s;
constexpr int kStartAttempts = 3;

bool HasEnded(pid_t pid, int* status = nullptr) {
  return waitpid(pid, status, WNOHANG) == pid;
}

bool WaitForEnd(pid_t pid, std::chrono::steady_clock::duration limit, int* status = nullptr) {
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

// Runs a program with no input and its output appended to `log`; -1 when it could
// not start. The test program's other descriptors stay out of it.
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

}  // namespace

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

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string RunConfigScript(std::vector<std::string> arguments, const std::filesystem::path& log) {
  arguments.insert(arguments.begin(), "bash");
  const pid_t writer = Spawn(arguments, log);
  if (writer < 0) return "cannot run bash to write the configuration:\n";
  int status = 0;
  if (!WaitForEnd(writer, kStartLimit, &status)) {
    EndProcess(writer, std::chrono::seconds(0));
    return "writing the configuration took too long:\n";
  }
  return status == 0 ? "" : "writing the configuration failed:\n";
}

void ServerProcess::Stop() {
  if (pid_ > 0) EndProcess(std::exchange(pid_, -1), kStopLimit);
  if (folder_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
  folder_.clear();
}

std::string ServerProcess::Log() const {
  return folder_.empty() ? "" : ReadFile(LogPath());
}

std::string ServerProcess::StartServer(
    const std::function<std::string(const std::string& program)>& start_once) {
  Stop();
  const std::string program = FindProgram(name_);
  if (program.empty()) return name_ + " is not installed";
  std::string folder =
      (std::filesystem::temp_directory_path() / (name_ + "-fixture-XXXXXX")).string();
  if (mkdtemp(folder.data()) == nullptr) return "cannot make a temporary folder";
  folder_ = folder;
  std::string error;
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    port_ = LoopbackSocket::BoundOnly().Port();
    error = start_once(program);
    if (error.empty()) return "";
  }
  error += Log();
  Stop();
  return error;
}

std::string ServerProcess::Run(const std::vector<std::string>& command) {
  pid_ = Spawn(command, LogPath());
  if (pid_ < 0) return name_ + " did not start:\n";
  const auto deadline = Clock::now() + kStartLimit;
  for (;;) {
    if (HasEnded(pid_)) {
      pid_ = -1;
      return name_ + " ended while starting:\n";
    }
    // The probe connection is closed at once; the server forgets it.
    if (LoopbackSocket::ConnectTo(port_).Valid() && !HasEnded(pid_)) return "";
    if (Clock::now() >= deadline) {
      EndProcess(std::exchange(pid_, -1), kStopLimit);
      return name_ + " accepted no connection within " + std::to_string(kStartLimit.count()) +
             " s:\n";
    }
    std::this_thread::sleep_for(kPollStep);
  }
}

}  // namespace testsupport
