// Child processes for the fixtures that run a real server: finding the program,
// starting it with its output in a log file, and waiting for or ending it, each
// wait with a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// Between two looks at a process or a port that give no notice of their own.
constexpr std::chrono::milliseconds kPollStep{10};

// The program's path in PATH, /usr/sbin or /usr/local/sbin; empty when missing.
std::string FindProgram(std::string_view name);

// Runs a program with no input and its output appended to `log`; -1 when it could
// not start. The test program's other descriptors stay out of it.
pid_t Spawn(const std::vector<std::string>& arguments, const std::filesystem::path& log);

bool HasEnded(pid_t pid, int* status = nullptr);
bool WaitForEnd(pid_t pid, std::chrono::steady_clock::duration limit, int* status = nullptr);

// Asks the process to end, and forces it when it has not within `grace`.
void EndProcess(pid_t pid, std::chrono::steady_clock::duration grace);

// Runs a configuration script with bash, its output to `log`: empty once it has
// written the configuration, else why not.
std::string RunConfigScript(std::vector<std::string> arguments, const std::filesystem::path& log,
                            std::chrono::steady_clock::duration limit);
// Waits until the server started as `pid` accepts a connection on 127.0.0.1:`port`:
// empty once it does, else why not; `pid` is -1 then, the process gone.
std::string WaitUntilAccepting(pid_t& pid, std::uint16_t port, std::string_view name,
                               std::chrono::steady_clock::duration limit,
                               std::chrono::steady_clock::duration grace);

// A server's end: its process (when `pid` is above 0) and then its folder, each
// reset so that a second call does nothing.
void EndServer(pid_t& pid, std::filesystem::path& folder,
               std::chrono::steady_clock::duration grace);
// The server's log file `name` in `folder`; empty once the folder has gone.
std::string ReadLog(const std::filesystem::path& folder, const char* name);

}  // namespace testsupport
