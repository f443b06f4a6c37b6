// The checks every socket entry point starts with: the library is started
// (10093) and the handle names one of its sockets (10038).
#pragma once

#include <mutex>

#include "platform/wsock32/error_state.h"
#include "platform/wsock32/socket_table.h"
#include "platform/wsock32/startup.h"

namespace wsock32 {

// Runs `call` with the socket under the table's lock, or fails with `failure`.
template <typename Result, typename Call>
Result WithSocket(winsock::SOCKET handle, Result failure, Call&& call) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, failure);
  std::lock_guard lock(SocketsMutex());
  Socket* socket = FindSocket(handle);
  if (!socket) return Fail(winsock::WSAENOTSOCK, failure);
  return call(*socket);
}

}  // namespace wsock32
