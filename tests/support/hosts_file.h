// The socket library's file of names for the tests, named by WSOCK32_HOSTS_FILE while the
// object lives. The library reads it when it starts: create it before the test's first control.
// A comment, a blank line and a name in capitals show the reader skips and folds as it should.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

struct HostsFile {
  HostsFile() {
    std::ofstream(path_)
        << "# names for the tests\n\ndual.test ::1 127.0.0.1\nfour.test 127.0.0.1\n"
           "three.test ::1 127.0.0.1 ::2\nSIX.test ::1\n";
    setenv("WSOCK32_HOSTS_FILE", path_.c_str(), 1);
  }
  ~HostsFile() {
    unsetenv("WSOCK32_HOSTS_FILE");
    std::filesystem::remove(path_);
  }

  const std::string path_ =
      (std::filesystem::temp_directory_path() / ("hosts-" + std::to_string(getpid()))).string();
};

}  // namespace testsupport
