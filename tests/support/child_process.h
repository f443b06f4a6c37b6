// Child processes for the fixtures that run a real server: finding the program,
// starting it with its output in a log file, and waiting for or ending it, each
// wait with a deadline.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// The program's path in PATH, /usr/sbin or /usr/local/sbin; empty when missing.
std::string FindProgram(std::string_view name);

// The whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Runs a configuration script with bash, its output to `log`: empty once it has
// written the configuration, else why not.
std::string RunConfigScript(std::vector<std::string> arguments, const std::filesystem::path& log);

// A real server for a test: the program `name` on a port of 127.0.0.1 that was
// free a moment ago, with its configuration and its log "<name>.log" in a
// temporary folder. The server and the folder go with Stop or the object.
class ServerProcess {
 public:
  ~ServerProcess() { Stop(); }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // Ends the server (asked first, then forced) and removes its folder.
  void Stop();
  std::uint16_t Port() const { return port_; }
  // What the server has written so far (its log), for failure messages; empty once
  // stopped.
  std::string Log() const;

 protected:
  explicit ServerProcess(std::string name) : name_(std::move(name)) {}

  // Stops any earlier server, makes a fresh folder and calls `start_once` with the
  // program's path, a new port each time, until it succeeds or has failed three
  // times (someone else can take a free port before the server binds it): empty
  // once the server runs, else what went wrong, with the server's log.
  std::string StartServer(const std::function<std::string(const std::string& program)>& start_once);
  // Runs the server's command and waits until it accepts connections on Port().
  std::string Run(const std::vector<std::string>& command);
  std::filesystem::path LogPath() const { return folder_ / (name_ + ".log"); }

  std::filesystem::path folder_;

 private:
  std::string name_;
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
};

}  // namespace testsupport
