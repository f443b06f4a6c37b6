// The socket library's file of names for a test, named by WSOCK32_HOSTS_FILE while the object
// lives. The library reads it when it starts: create it before the test's first control.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

class HostsFile {
 public:
  explicit HostsFile(const std::string& lines = "dual.test ::1 127.0.0.1\nfour.test 127.0.0.1\n") {
    std::ofstream(path_) << lines;
    setenv("WSOCK32_HOSTS_FILE", path_.c_str(), 1);
  }
  ~HostsFile() {
    unsetenv("WSOCK32_HOSTS_FILE");
    std::filesystem::remove(path_);
  }

 private:
  const std::string path_ =
      (std::filesystem::temp_directory_path() / ("hosts-" + std::to_string(getpid()))).string();
};

}  // namespace testsupport
