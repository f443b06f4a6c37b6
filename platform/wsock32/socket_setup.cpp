// Creating, binding, listening, accepting, connecting, registering and closing
// the library's sockets.
#include "platform/wsock32/socket_calls.h"

#include "platform/wsock32/libc_sockets.h"
#include "platform/wsock32/select_watch.h"
#include "platform/wsock32/socket_access.h"
#include "platform/wsock32/socket_address.h"

#include <QCoreApplication>
#include <QThread>

#include <sys/socket.h>
#include <cerrno>

namespace wsock32 {
namespace {

constexpr long kAllEvents = winsock::FD_READ | winsock::FD_WRITE | winsock::FD_OOB |
                            winsock::FD_ACCEPT | winsock::FD_CONNECT | winsock::FD_CLOSE;

// Failures of a connect that are its outcome rather than a refusal to start:
// they come with FD_CONNECT like any other outcome.
bool IsOutcome(int posix_error) {
  return posix_error == ECONNREFUSED || posix_error == ENETUNREACH || posix_error == EHOSTUNREACH ||
         posix_error == ETIMEDOUT || posix_error == ECONNRESET;
}

// Notifiers work on the thread that runs the Qt event loop only.
bool OnLoopThread() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application && QThread::currentThread() == application->thread();
}

int StartStreamConnect(Socket& socket, const PosixAddress& peer) {
  SettleConnect(socket);
  if (socket.phase == Phase::kConnecting || socket.phase == Phase::kListening) {
    return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
  }
  if (socket.phase == Phase::kConnected) return Fail(winsock::WSAEISCONN, winsock::SOCKET_ERROR);

  const bool started = libc::Connect(socket.fd, peer.get(), peer.length) == 0 ||
                       errno == EINPROGRESS || errno == EINTR;
  if (!started && !IsOutcome(errno)) return Fail(ErrorFromErrno(errno), winsock::SOCKET_ERROR);
  socket.phase = started ? Phase::kConnecting : Phase::kConnectFailed;
  socket.connect_error = started ? 0 : ErrorFromErrno(errno);
  socket.connect_reported = false;
  socket.close_reported = false;
  socket.reset_error = 0;
  socket.read_enabled = socket.write_enabled = true;
  Refresh(socket);
  return Fail(winsock::WSAEWOULDBLOCK, winsock::SOCKET_ERROR);
}

}  // namespace

winsock::SOCKET OpenSocket(int family, int type, int protocol) {
  const winsock::SOCKET failed = winsock::INVALID_SOCKET;
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, failed);
  if (family != kWinsockInet && family != kWinsockInet6) {
    return Fail(winsock::WSAEAFNOSUPPORT, failed);
  }
  const bool stream = type == winsock::SOCK_STREAM;
  if (!stream && type != winsock::SOCK_DGRAM) return Fail(winsock::WSAESOCKTNOSUPPORT, failed);
  if (protocol != 0 && protocol != (stream ? winsock::IPPROTO_TCP : winsock::IPPROTO_UDP)) {
    return Fail(winsock::WSAEPROTONOSUPPORT, failed);
  }
  // Non-blocking from the start: this library never blocks.
  const int fd =
      libc::Socket(family == kWinsockInet6 ? AF_INET6 : AF_INET,
                   (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return Fail(ErrorFromErrno(errno), failed);
  if (family == kWinsockInet6) {
    // IPv6 only, as the interface's sockets are unless told otherwise.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
  }
  std::lock_guard lock(SocketsMutex());
  Socket* socket = AddSocket(fd, stream);
  return socket ? socket->handle : Fail(winsock::WSAEMFILE, failed);
}

int CloseSocket(winsock::SOCKET handle) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [](Socket& socket) {
    RemoveSocket(socket.handle);
    return 0;
  });
}

int Bind(winsock::SOCKET handle, const winsock::sockaddr* name, int name_length) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    PosixAddress local;
    if (int error = ReadAddress(name, name_length, local)) {
      return Fail(error, winsock::SOCKET_ERROR);
    }
    if (socket.stream) {
      // A server can take its port again while old connections linger on it.
      const int on = 1;
      ::setsockopt(socket.fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (libc::Bind(socket.fd, local.get(), local.length) != 0) {
      return Fail(ErrorFromErrno(errno), winsock::SOCKET_ERROR);
    }
    return 0;
  });
}

int Listen(winsock::SOCKET handle, int backlog) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    if (!socket.stream) return Fail(winsock::WSAEOPNOTSUPP, winsock::SOCKET_ERROR);
    if (socket.phase == Phase::kConnecting || socket.phase == Phase::kConnected) {
      return Fail(winsock::WSAEISCONN, winsock::SOCKET_ERROR);
    }
    if (!IsBound(socket.fd)) return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
    if (libc::Listen(socket.fd, backlog) != 0) {
      return Fail(ErrorFromErrno(errno), winsock::SOCKET_ERROR);
    }
    socket.phase = Phase::kListening;
    socket.accept_enabled = true;
    Refresh(socket);
    return 0;
  });
}

winsock::SOCKET Accept(winsock::SOCKET handle, winsock::sockaddr* address, int* address_length) {
  const winsock::SOCKET failed = winsock::INVALID_SOCKET;
  return WithSocket(handle, failed, [&](Socket& listener) {
    if (!listener.stream) return Fail(winsock::WSAEOPNOTSUPP, failed);
    if (listener.phase != Phase::kListening) return Fail(winsock::WSAEINVAL, failed);
    if (address && (!address_length || *address_length < LayoutSize(listener.fd))) {
      return Fail(winsock::WSAEFAULT, failed);
    }
    PosixAddress peer;
    peer.length = sizeof peer.storage;
    const int fd = ::accept4(listener.fd, peer.get(), &peer.length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int error = fd < 0 ? ErrorFromErrno(errno) : 0;
    Socket* accepted = fd < 0 ? nullptr : AddSocket(fd, true);
    // Re-enabled even by a failing accept: FD_ACCEPT again if another waits.
    listener.accept_enabled = true;
    Refresh(listener);
    if (!accepted) return Fail(error ? error : winsock::WSAEMFILE, failed);

    // The new socket is connected and takes over the listener's registration.
    accepted->phase = Phase::kConnected;
    accepted->connect_reported = true;
    accepted->window = listener.window;
    accepted->message = listener.message;
    accepted->events = listener.events;
    Refresh(*accepted);
    if (address) WriteAddress(peer, address, address_length);
    return accepted->handle;
  });
}

int Connect(winsock::SOCKET handle, const winsock::sockaddr* name, int name_length) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    PosixAddress peer;
    if (int error = ReadAddress(name, name_length, peer)) {
      return Fail(error, winsock::SOCKET_ERROR);
    }
    if (IsUnreachable(peer)) return Fail(winsock::WSAEADDRNOTAVAIL, winsock::SOCKET_ERROR);
    if (socket.stream) return StartStreamConnect(socket, peer);
    // A datagram socket only records its peer, at once.
    if (libc::Connect(socket.fd, peer.get(), peer.length) != 0) {
      return Fail(ErrorFromErrno(errno), winsock::SOCKET_ERROR);
    }
    socket.phase = Phase::kConnected;
    return 0;
  });
}

int GetSockName(winsock::SOCKET handle, winsock::sockaddr* name, int* name_length) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    if (!name || !name_length || *name_length < LayoutSize(socket.fd)) {
      return Fail(winsock::WSAEFAULT, winsock::SOCKET_ERROR);
    }
    PosixAddress local;
    local.length = sizeof local.storage;
    if (libc::GetSockName(socket.fd, local.get(), &local.length) != 0) {
      return Fail(ErrorFromErrno(errno), winsock::SOCKET_ERROR);
    }
    // Not bound: no port yet (the port lies at the same place in both families).
    if (reinterpret_cast<const sockaddr_in&>(local.storage).sin_port == 0) {
      return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
    }
    WriteAddress(local, name, name_length);
    return 0;
  });
}

int AsyncSelect(winsock::SOCKET handle, winsys::HWND window, winsock::u_int message, long events) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    if ((events & ~kAllEvents) != 0) return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
    if (events != 0 && (!winsys::IsWindow(window) || !OnLoopThread())) {
      return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
    }
    // Replaces any earlier registration; conditions that hold now are posted now.
    socket.window = events != 0 ? window : 0;
    socket.message = message;
    socket.events = events;
    socket.read_enabled = socket.write_enabled = socket.accept_enabled = true;
    Refresh(socket);
    return 0;
  });
}

void ResetAllSockets() {
  std::lock_guard lock(SocketsMutex());
  RemoveAllSockets();
}

}  // namespace wsock32
