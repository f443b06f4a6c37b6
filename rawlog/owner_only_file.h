// A file that the raw log saves: it holds what crossed the wire, passwords
// included, so only its owner may read it, and it replaces a file of its name
// only once it is whole.
#pragma once

#include <string>
#include <string_view>

namespace rawlog {

class TOwnerOnlyFile {
 public:
  // Opens a temporary file, readable and writable by its owner alone, in the
  // folder of the file that `path` names. A path that is a symbolic link is
  // written through only when every link on the way and the file it leads to
  // belong to the user; else, or when the file cannot be opened, Error() says
  // why.
  explicit TOwnerOnlyFile(const std::string& path);
  // Removes the temporary file unless Commit() has put it in place.
  ~TOwnerOnlyFile();
  TOwnerOnlyFile(const TOwnerOnlyFile&) = delete;
  TOwnerOnlyFile& operator=(const TOwnerOnlyFile&) = delete;

  bool Ok() const { return error_.empty(); }
  // Why the file could not be opened, written or put in place, in the
  // system's words ("No space left on device").
  const std::string& Error() const { return error_; }

  bool Write(std::string_view piece);
  // Flushes the file to the disk and puts it in place of the one it replaces.
  bool Commit();

 private:
  bool Fail(const std::string& error);

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  std::string error_;
};

}  // namespace rawlog
