// Sending and receiving on the library's sockets, and the count of waiting bytes.
#include "platform/wsock32/socket_calls.h"

#include "platform/wsock32/select_watch.h"
#include "platform/wsock32/socket_access.h"
#include "platform/wsock32/socket_address.h"

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <cerrno>

namespace wsock32 {
namespace {

// The interface's flag bits, which happen to be Linux's too.
constexpr int kOutOfBand = 0x1;
constexpr int kPeek = 0x2;
constexpr int kDontRoute = 0x4;
static_assert(kOutOfBand == MSG_OOB && kPeek == MSG_PEEK && kDontRoute == MSG_DONTROUTE);

// A stream can only send and receive once its connect has ended; an unregistered
// socket learns that here.
bool IsConnectedStream(Socket& socket) {
  if (socket.phase == Phase::kConnecting) SettleConnect(socket);
  return socket.phase == Phase::kConnected;
}

int CheckBuffer(const char* buffer, int length) {
  if (length < 0) return winsock::WSAEINVAL;
  if (length > 0 && !buffer) return winsock::WSAEFAULT;
  return 0;
}

int Transmit(Socket& socket, const char* buffer, int length, int flags, const PosixAddress* to) {
  if (int error = CheckBuffer(buffer, length)) return Fail(error, winsock::SOCKET_ERROR);
  if ((flags & ~(kOutOfBand | kDontRoute)) != 0) {
    return Fail(winsock::WSAEOPNOTSUPP, winsock::SOCKET_ERROR);
  }
  if (socket.stream && !IsConnectedStream(socket)) {
    return Fail(winsock::WSAENOTCONN, winsock::SOCKET_ERROR);
  }
  iovec data{const_cast<char*>(buffer), std::size_t(length)};
  msghdr message{};
  message.msg_name = to ? const_cast<sockaddr*>(to->get()) : nullptr;
  message.msg_namelen = to ? to->length : 0;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  // No SIGPIPE: a peer that has gone is an error of this call, not of the process.
  const ssize_t sent = ::sendmsg(socket.fd, &message, flags | MSG_NOSIGNAL | MSG_DONTWAIT);
  if (sent >= 0) return int(sent);
  const int error = errno == EPIPE ? winsock::WSAECONNRESET : ErrorFromErrno(errno);
  if (error == winsock::WSAEWOULDBLOCK) {
    // FD_WRITE again once room is free: the only send that re-enables it.
    socket.write_enabled = true;
    Refresh(socket);
  }
  return Fail(error, winsock::SOCKET_ERROR);
}

int ReceiveInto(Socket& socket, char* buffer, int length, int flags, PosixAddress* from) {
  if (int error = CheckBuffer(buffer, length)) return Fail(error, winsock::SOCKET_ERROR);
  if ((flags & ~(kOutOfBand | kPeek)) != 0) {
    return Fail(winsock::WSAEOPNOTSUPP, winsock::SOCKET_ERROR);
  }
  if (socket.stream && !IsConnectedStream(socket)) {
    return Fail(winsock::WSAENOTCONN, winsock::SOCKET_ERROR);
  }
  if (!socket.stream && !IsBound(socket.fd)) return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
  iovec data{buffer, std::size_t(length)};
  msghdr message{};
  message.msg_name = from ? from->get() : nullptr;
  message.msg_namelen = from ? sizeof from->storage : 0;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  const ssize_t count = ::recvmsg(socket.fd, &message, flags | MSG_DONTWAIT);
  if (count < 0) {
    const int error = ErrorFromErrno(errno);
    if (socket.stream && errno == ECONNRESET) socket.reset_error = error;
    return Fail(error, winsock::SOCKET_ERROR);
  }
  if (from) from->length = message.msg_namelen;
  // A datagram longer than the buffer: its first part is delivered, the rest is lost.
  if (!socket.stream && (message.msg_flags & MSG_TRUNC)) {
    return Fail(winsock::WSAEMSGSIZE, winsock::SOCKET_ERROR);
  }
  // After a reset the kernel reports an end; the caller learns of the reset.
  if (socket.stream && count == 0 && length > 0 && socket.reset_error) {
    return Fail(socket.reset_error, winsock::SOCKET_ERROR);
  }
  return int(count);
}

// recv and recvfrom re-enable FD_READ (and FD_CLOSE's wait for the data to be
// read) even when they fail; data still waiting gives a new FD_READ at once.
int Receive(Socket& socket, char* buffer, int length, int flags, PosixAddress* from) {
  socket.read_enabled = true;
  const int result = ReceiveInto(socket, buffer, length, flags, from);
  Refresh(socket);
  return result;
}

}  // namespace

int Send(winsock::SOCKET handle, const char* buffer, int length, int flags) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    return Transmit(socket, buffer, length, flags, nullptr);
  });
}

int SendTo(winsock::SOCKET handle, const char* buffer, int length, int flags,
           const winsock::sockaddr* to, int to_length) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    // A stream, or a datagram socket without an address, sends to its peer.
    if (socket.stream || !to) return Transmit(socket, buffer, length, flags, nullptr);
    PosixAddress peer;
    if (int error = ReadAddress(to, to_length, peer)) return Fail(error, winsock::SOCKET_ERROR);
    if (IsUnreachable(peer)) return Fail(winsock::WSAEADDRNOTAVAIL, winsock::SOCKET_ERROR);
    return Transmit(socket, buffer, length, flags, &peer);
  });
}

int Recv(winsock::SOCKET handle, char* buffer, int length, int flags) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    return Receive(socket, buffer, length, flags, nullptr);
  });
}

int RecvFrom(winsock::SOCKET handle, char* buffer, int length, int flags, winsock::sockaddr* from,
             int* from_length) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    if (!from || socket.stream) return Receive(socket, buffer, length, flags, nullptr);
    if (!from_length || *from_length < LayoutSize(socket.fd)) {
      // A receive call still, however it ends: FD_READ comes again.
      socket.read_enabled = true;
      Refresh(socket);
      return Fail(winsock::WSAEFAULT, winsock::SOCKET_ERROR);
    }
    PosixAddress peer;
    const int result = Receive(socket, buffer, length, flags, &peer);
    if (result >= 0 || LastError() == winsock::WSAEMSGSIZE) WriteAddress(peer, from, from_length);
    return result;
  });
}

int IoctlSocket(winsock::SOCKET handle, std::int32_t command, winsock::u_long* argument) {
  return WithSocket(handle, winsock::SOCKET_ERROR, [&](Socket& socket) {
    if (!argument) return Fail(winsock::WSAEFAULT, winsock::SOCKET_ERROR);
    if (command != kWinsockFionread) return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
    // A stream's whole queue, or a datagram socket's first datagram.
    int waiting = 0;
    if (::ioctl(socket.fd, FIONREAD, &waiting) != 0) {
      return Fail(ErrorFromErrno(errno), winsock::SOCKET_ERROR);
    }
    *argument = winsock::u_long(waiting);
    return 0;
  });
}

}  // namespace wsock32
