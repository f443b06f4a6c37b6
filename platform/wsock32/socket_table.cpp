// The table of the library's sockets and their handles.
#include "platform/wsock32/socket_table.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

namespace wsock32 {
namespace {

// Handles stay within 31 bits: callers keep them in 32-bit fields.
constexpr winsock::SOCKET kLastHandle = 0x7FFFFFFF;

struct Table {
  std::unordered_map<winsock::SOCKET, std::unique_ptr<Socket>> sockets;
  winsock::SOCKET last_handle = 0;
};

// Never destroyed: sockets may still be open when static destructors run.
Table& TheTable() {
  static auto* table = new Table;
  return *table;
}

}  // namespace

Socket::Socket(winsock::SOCKET handle, int fd, bool stream)
    : handle(handle), fd(fd), stream(stream) {}

Socket::~Socket() {
  read_watch.reset();
  write_watch.reset();
  ::close(fd);
}

std::mutex& SocketsMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

Socket* AddSocket(int fd, bool stream) {
  Table& table = TheTable();
  if (table.last_handle == kLastHandle) {
    ::close(fd);
    return nullptr;
  }
  auto socket = std::make_unique<Socket>(table.last_handle + 1, fd, stream);
  Socket* added = socket.get();
  table.sockets.emplace(added->handle, std::move(socket));
  ++table.last_handle;
  return added;
}

Socket* FindSocket(winsock::SOCKET handle) {
  auto& sockets = TheTable().sockets;
  auto found = sockets.find(handle);
  return found == sockets.end() ? nullptr : found->second.get();
}

void RemoveSocket(winsock::SOCKET handle) {
  TheTable().sockets.erase(handle);
}

void RemoveAllSockets() {
  auto& sockets = TheTable().sockets;
  for (auto& [handle, socket] : sockets) {
    const linger reset{1, 0};
    ::setsockopt(socket->fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  }
  sockets.clear();
}

}  // namespace wsock32
