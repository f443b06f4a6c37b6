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
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static mode_t ModeOf(const std::string& path) {
    struct stat file {};
    EXPECT_EQ(stat(path.c_str(), &file), 0) << path;
    return file.st_mode & 07777;
  }
  // The names in the folder: a temporary file left behind would show.
  std::string Listing() const {
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      names += entry.path().filename().string() + "\n";
    }
    return names;
  }

  std::string folder_;
};

TEST_F(OwnerOnlyFile, IsTheOwnersAloneAndReplacesTheOldFileOnlyOnceWhole) {
  const mode_t umask_before = umask(022);
  const std::string path = Path("raw.log");
  {
    std::ofstream(path) << "old";
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    TOwnerOnlyFile file(path);
    ASSERT_TRUE(file.Ok()) << file.Error();
    ASSERT_TRUE(file.Write("PASS secret\n"));
    EXPECT_EQ(Read(path), "old") << "nothing replaced before the commit";
    EXPECT_TRUE(file.Commit()) << file.Error();
  }
  EXPECT_EQ(Read(path), "PASS secret\n");
  EXPECT_EQ(ModeOf(path), 0600u);
  {
    TOwnerOnlyFile abandoned(path);
    ASSERT_TRUE(abandoned.Write("half"));
  }
  EXPECT_EQ(Read(path), "PASS secret\n") << "a save given up leaves what was there";
  EXPECT_EQ(Listing(), "raw.log\n") << "and no temporary file";
  umask(umask_before);
}

TEST_F(OwnerOnlyFile, WritesThroughTheUsersOwnLinkOnly) {
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

  // Another user's file: as root, one handed to nobody; otherwise the
  // system's own.
  std::string others = "/etc/hostname";
  if (geteuid() == 0) {
    others = Path("others.log");
    std::ofstream(others) << "theirs";
    ASSERT_EQ(chown(others.c_str(), 65534, 65534), 0);
  }
  const std::string to_others = Path("to-others.log");
  ASSERT_EQ(symlink(others.c_str(), to_others.c_str()), 0);
  const std::string before = Read(others);
  TOwnerOnlyFile refused(to_others);
  EXPECT_FALSE(refused.Ok());
  EXPECT_NE(refused.Error().find("belongs to another user"), std::string::npos) << refused.Error();
  EXPECT_FALSE(refused.Write("x") || refused.Commit());
  EXPECT_EQ(Read(others), before);

  // As root, a chain through another user's link: that user could turn it
  // to any file of ours.
  if (geteuid() == 0) {
    const std::string theirs = Path("their-link.log");
    const std::string ours = Path("our-link.log");
    ASSERT_EQ(symlink(target.c_str(), theirs.c_str()), 0);
    ASSERT_EQ(lchown(theirs.c_str(), 65534, 65534), 0);
    ASSERT_EQ(symlink("their-link.log", ours.c_str()), 0);
    TOwnerOnlyFile through(ours);
    EXPECT_EQ(through.Error(),
              ours + " is a symbolic link through " + theirs + ", which belongs to another user");
  }

  const std::string dangling = Path("dangling.log");
  ASSERT_EQ(symlink(Path("nowhere/x").c_str(), dangling.c_str()), 0);
  TOwnerOnlyFile nowhere(dangling);
  EXPECT_EQ(nowhere.Error(),
            dangling + " is a symbolic link that leads to no file: " + std::strerror(ENOENT));
}

TEST_F(OwnerOnlyFile, NamesTheSystemsReasonForAFailure) {
  TOwnerOnlyFile no_folder(Path("missing/raw.log"));
  EXPECT_EQ(no_folder.Error(), std::strerror(ENOENT));

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
