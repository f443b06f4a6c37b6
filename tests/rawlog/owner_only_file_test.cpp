// The saved file: owner-only, whole or not at all, never through another
// user's link, and a failure in the system's words.
#include "rawlog/owner_only_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace rawlog {
namespace {

class OwnerOnlyFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/owner-only-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Path(const char* name) const { return folder_ + "/" + name; }
  static std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }

  std::string folder_;
};

TEST_F(OwnerOnlyFile, IsTheOwnersAloneAndReplacesTheOldFileOnlyOnceWhole) {
  const mode_t umask_before = umask(022);
  const std::string path = Path("raw.log");
  std::ofstream(path) << "old";
  {
    TOwnerOnlyFile file(path);
    ASSERT_TRUE(file.Write("PASS secret\n")) << file.Error();
    EXPECT_EQ(Read(path), "old") << "nothing replaced before the commit";
    EXPECT_TRUE(file.Commit()) << file.Error();
  }
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  {
    TOwnerOnlyFile abandoned(path);
    ASSERT_TRUE(abandoned.Write("half"));
  }
  EXPECT_EQ(Read(path), "PASS secret\n") << "a save given up leaves what was there";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1)
      << "and no temporary file";
  umask(umask_before);
}

TEST_F(OwnerOnlyFile, WritesThroughTheUsersOwnLinksOnly) {
  const std::string target = Path("target.log");
  const std::string link = Path("link.log");
  std::ofstream(target) << "old";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  {
    TOwnerOnlyFile file(link);
    ASSERT_TRUE(file.Write("new") && file.Commit()) << file.Error();
  }
  struct stat status {};
  ASSERT_EQ(lstat(link.c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode)) << "the link stays a link";
  EXPECT_EQ(Read(target), "new");

  // Another user's file (as root, one handed to nobody; else the system's),
  // a chain through another user's link, and a link that leads nowhere.
  const bool root = geteuid() == 0;
  const std::string others = root ? Path("others.log") : "/etc/hostname";
  if (root) {
    std::ofstream(others) << "theirs";
    ASSERT_EQ(chown(others.c_str(), 65534, 65534), 0);
    ASSERT_EQ(symlink(target.c_str(), Path("their-link.log").c_str()), 0);
    ASSERT_EQ(lchown(Path("their-link.log").c_str(), 65534, 65534), 0);
    ASSERT_EQ(symlink("their-link.log", Path("through.log").c_str()), 0);
  }
  ASSERT_EQ(symlink(others.c_str(), Path("to-others.log").c_str()), 0);
  ASSERT_EQ(symlink(Path("nowhere/x").c_str(), Path("dangling.log").c_str()), 0);
  const std::string before = Read(others);
  const std::pair<std::string, std::string> refusals[] = {
      {Path("to-others.log"),
       " is a symbolic link to " + others + ", which belongs to another user"},
      {Path("dangling.log"),
       std::string(" is a symbolic link that leads to no file: ") + std::strerror(ENOENT)},
      {root ? Path("through.log") : "",
       " is a symbolic link through " + Path("their-link.log") + ", which belongs to another user"},
  };
  for (const auto& [path, why] : refusals) {
    if (path.empty()) continue;
    TOwnerOnlyFile refused(path);
    EXPECT_EQ(refused.Error(), path + why);
    EXPECT_FALSE(refused.Write("x") || refused.Commit());
  }
  EXPECT_EQ(Read(others), before);
  EXPECT_EQ(Read(target), "new");
}

TEST_F(OwnerOnlyFile, NamesTheSystemsReasonForAFailure) {
  EXPECT_EQ(TOwnerOnlyFile(Path("missing/raw.log")).Error(), std::strerror(ENOENT));

  // A file size limit fails the write as a full disk would, with its own words.
  const std::string path = Path("raw.log");
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  TOwnerOnlyFile file(path);
  const bool written = file.Write(std::string(8192, 'x'));
  setrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_EQ(file.Error(), std::strerror(EFBIG));
  EXPECT_FALSE(file.Commit()) << "a failed file is never put in place";
  EXPECT_NE(access(path.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace rawlog
