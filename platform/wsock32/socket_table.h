// The library's sockets: handles of its own, each mapping to a POSIX
// descriptor, with the state that the notifications follow.
#pragma once

#include <memory>
#include <mutex>

#include "platform/wsock32/winsock_constants.h"

class QSocketNotifier;

namespace wsock32 {

// Where a socket stands. A datagram socket is only ever kOpen or kConnected.
enum class Phase { kOpen, kConnecting, kConnected, kConnectFailed, kListening };

struct Socket {
  Socket(winsock::SOCKET handle, int fd, bool stream);
  // Stops watching, then closes the descriptor.
  ~Socket();
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  const winsock::SOCKET handle;
  const int fd;
  const bool stream;
  Phase phase = Phase::kOpen;
  int connect_error = 0;  // outcome of the last connect, once it is known
  bool connect_reported = false;
  bool close_reported = false;
  // The kernel reports a reset once; it is kept so that later calls see it too.
  int reset_error = 0;

  // Registration by WSAAsyncSelect; no events means no notifications.
  winsys::HWND window = 0;
  winsock::u_int message = 0;
  long events = 0;
  // Once posted, an event waits for its re-enabling call.
  bool read_enabled = true;
  bool write_enabled = true;
  bool accept_enabled = true;
  // An FD_READ waits in the queue: another would tell nothing new.
  bool read_queued = false;

  std::unique_ptr<QSocketNotifier> read_watch;
  std::unique_ptr<QSocketNotifier> write_watch;
};

// Guards the table and every socket in it. The socket entry points and the
// watchers run on the loop's thread; the lock keeps a clean-up from another
// thread safe.
std::mutex& SocketsMutex();

// Takes ownership of `fd` (closed on failure). Handles count up from 1 and are
// never reused, so a notification still queued for a closed socket can never
// match a new one. Null when the handles are used up.
Socket* AddSocket(int fd, bool stream);
Socket* FindSocket(winsock::SOCKET handle);
void RemoveSocket(winsock::SOCKET handle);
// Removes every socket, resetting its connection rather than closing it.
void RemoveAllSockets();

}  // namespace wsock32
