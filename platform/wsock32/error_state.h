// The last error of each thread, and the table from POSIX error numbers to the
// interface's numbers.
#pragma once

#include "platform/wsock32/winsock_constants.h"

namespace wsock32 {

void SetLastError(int error);
int LastError();

// The interface's number for a POSIX errno value (10000 plus the BSD number,
// which differs from the Linux one for most errors).
int ErrorFromErrno(int posix_error);

// Records `error` as the thread's last error and returns `result`: one line for
// every failure path.
template <typename Result>
Result Fail(int error, Result result) {
  SetLastError(error);
  return result;
}

}  // namespace wsock32
