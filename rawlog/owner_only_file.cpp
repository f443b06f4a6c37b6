// The saved file: a temporary file of mode 0600 beside its target, renamed
// over it once written.
#include "rawlog/owner_only_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rawlog {

namespace {

std::string SystemWords(int error) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not be in buffer.
  return strerror_r(error, buffer, sizeof buffer);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A chain longer than this is a loop, as the system counts it.
constexpr int kMostLinks = 40;

// The file that `path` leads to, or why the save must not write through it.
std::string TargetOf(const std::string& path, std::string& error) {
  // Another user's link anywhere on the way could lead a save anywhere, and a
  // chain of our own ending at another user's file would hand that user what
  // we save.
  const uid_t user = geteuid();
  std::string current = path;
  for (int links = 0;; ++links) {
    struct stat link;
    if (lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    if (link.st_uid != user) {
      error = current == path ? path + " is a symbolic link that belongs to another user"
                              : path + " is a symbolic link through " + current +
                                    ", which belongs to another user";
      return {};
    }
    if (links == kMostLinks) {
      error = path + ": " + SystemWords(ELOOP);
      return {};
    }
    std::string next(PATH_MAX, '\0');
    const ssize_t length = readlink(current.c_str(), next.data(), next.size());
    if (length < 0) {
      error = path + ": " + SystemWords(errno);
      return {};
    }
    next.resize(std::size_t(length));
    current = next.starts_with('/') ? next : FolderOf(current) + "/" + next;
  }
  if (current == path) return path;
  struct stat file;
  if (stat(current.c_str(), &file) != 0) {
    error = path + " is a symbolic link that leads to no file: " + SystemWords(errno);
    return {};
  }
  if (file.st_uid != user) {
    error = path + " is a symbolic link to " + current + ", which belongs to another user";
    return {};
  }
  return current;
}

}  // namespace

TOwnerOnlyFile::TOwnerOnlyFile(const std::string& path) {
  target_ = TargetOf(path, error_);
  if (!Ok()) return;
  temporary_ = FolderOf(target_) + "/.raw-log-XXXXXX";
  // mkstemp creates the file with mode 0600 whatever the umask.
  fd_ = mkstemp(temporary_.data());
  if (fd_ < 0) {
    Fail(SystemWords(errno));
    temporary_.clear();
  }
}

TOwnerOnlyFile::~TOwnerOnlyFile() {
  if (fd_ >= 0) close(fd_);
  if (!temporary_.empty()) unlink(temporary_.c_str());
}

bool TOwnerOnlyFile::Fail(const std::string& error) {
  if (error_.empty()) error_ = error;
  return false;
}

bool TOwnerOnlyFile::Write(std::string_view piece) {
  if (!Ok()) return false;
  while (!piece.empty()) {
    const ssize_t written = write(fd_, piece.data(), piece.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return Fail(SystemWords(errno));
    }
    piece.remove_prefix(std::size_t(written));
  }
  return true;
}

bool TOwnerOnlyFile::Commit() {
  if (!Ok()) return false;
  // A full disk may show only when the data is flushed or the file closed.
  if (fsync(fd_) != 0) return Fail(SystemWords(errno));
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) return Fail(SystemWords(errno));
  if (rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(SystemWords(errno));
  temporary_.clear();
  return true;
}

}  // namespace rawlog
