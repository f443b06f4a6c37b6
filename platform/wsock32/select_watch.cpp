// Posting the notifications of WSAAsyncSelect, driven by QSocketNotifier.
#include "platform/wsock32/select_watch.h"

#include "platform/wsock32/error_state.h"

#include <QSocketNotifier>

#include <poll.h>
#include <sys/socket.h>
#include <cerrno>

namespace wsock32 {
namespace {

// FD_READ goes through a window of the library's own, which passes it on when
// it is delivered: while one FD_READ of a socket waits in the queue, a receive
// that leaves data posts no other, since the waiting one tells of that data. A
// reader that receives many times per notification would otherwise queue a
// notification per receive, each doing a reader's full work, and anything
// queued behind them (the window's repaint) would wait longer and longer.
constexpr winsys::UINT kRelayedRead = 1;

winsys::HWND ReadRelay() {
  static const winsys::HWND relay =
      winsys::AllocateHWnd([](winsys::HWND, winsys::UINT msg, winsys::WPARAM handle,
                              winsys::LPARAM reply) -> winsys::LRESULT {
        if (msg != kRelayedRead) return 0;
        winsys::HWND window = 0;
        winsock::u_int message = 0;
        {
          std::lock_guard lock(SocketsMutex());
          Socket* socket = FindSocket(winsock::SOCKET(handle));
          if (socket == nullptr) return 0;
          socket->read_queued = false;
          window = socket->window;
          message = socket->message;
        }
        winsys::SendMessage(window, message, handle, reply);
        return 0;
      });
  return relay;
}

void Post(Socket& socket, long event, int error) {
  const winsys::LPARAM reply =
      winsock::WSAMAKESELECTREPLY(winsock::WORD(event), winsock::WORD(error));
  if (event == winsock::FD_READ) {
    if (socket.read_queued) return;
    socket.read_queued = winsys::PostMessage(ReadRelay(), kRelayedRead, socket.handle, reply);
    return;
  }
  // A window that has gone takes nothing; the event stays spent like any other.
  winsys::PostMessage(socket.window, socket.message, socket.handle, reply);
}

bool Wants(const Socket& socket, long event) {
  return socket.window != 0 && (socket.events & event) != 0;
}

short PollNow(int fd) {
  pollfd entry{fd, POLLIN | POLLOUT | POLLRDHUP, 0};
  return ::poll(&entry, 1, 0) == 1 ? entry.revents : 0;
}

// What one byte of peeking tells: data, end of stream, an error, or nothing yet.
enum class Inbound { kData, kEnd, kError, kNothing };

Inbound Peek(const Socket& socket, int& error) {
  char byte;
  iovec vector{&byte, 1};
  msghdr message{};
  message.msg_iov = &vector;
  message.msg_iovlen = 1;
  const ssize_t count = ::recvmsg(socket.fd, &message, MSG_PEEK | MSG_DONTWAIT);
  if (count < 0 && (errno == EAGAIN || errno == EINTR)) return Inbound::kNothing;
  // On a datagram socket an error (an earlier datagram refused, say) goes to the
  // next recv, like data; an empty datagram is data too.
  if (count > 0 || !socket.stream) return Inbound::kData;
  if (count == 0) return Inbound::kEnd;
  error = ErrorFromErrno(errno);
  return Inbound::kError;
}

// FD_READ while data waits; on a stream, FD_CLOSE once the data is read and the
// peer has closed or reset. True while the read side must be watched.
bool RefreshReadSide(Socket& socket, short ready) {
  const bool read_due = Wants(socket, winsock::FD_READ) && socket.read_enabled;
  const bool close_due =
      socket.stream && Wants(socket, winsock::FD_CLOSE) && !socket.close_reported;
  if (!read_due && !close_due) return false;
  if (!(ready & (POLLIN | POLLHUP | POLLERR | POLLRDHUP))) return true;

  int error = 0;
  switch (Peek(socket, error)) {
    case Inbound::kNothing:
      return true;
    case Inbound::kData:
      if (read_due) {
        socket.read_enabled = false;
        Post(socket, winsock::FD_READ, 0);
      }
      return false;  // until recv re-enables
    case Inbound::kError:
      socket.reset_error = error;
      [[fallthrough]];
    case Inbound::kEnd:
      if (close_due) {
        socket.close_reported = true;
        Post(socket, winsock::FD_CLOSE, socket.reset_error);
      }
      return false;  // the end stays readable for good
  }
  return false;
}

// FD_WRITE once after the connect and again after a send that would block.
bool RefreshWriteSide(Socket& socket, short ready) {
  if (!Wants(socket, winsock::FD_WRITE) || !socket.write_enabled || socket.close_reported) {
    return false;
  }
  if (!(ready & POLLOUT)) return true;
  socket.write_enabled = false;
  Post(socket, winsock::FD_WRITE, 0);
  return false;
}

bool RefreshAccept(Socket& socket, short ready) {
  if (!Wants(socket, winsock::FD_ACCEPT) || !socket.accept_enabled) return false;
  if (!(ready & POLLIN)) return true;
  socket.accept_enabled = false;
  Post(socket, winsock::FD_ACCEPT, 0);
  return false;
}

void SettleConnect(Socket& socket, short ready) {
  if (socket.phase != Phase::kConnecting || !(ready & (POLLOUT | POLLERR | POLLHUP))) return;
  int error = 0;
  socklen_t length = sizeof error;
  if (::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  if (error == 0 && !(ready & POLLOUT)) error = ECONNREFUSED;
  socket.phase = error == 0 ? Phase::kConnected : Phase::kConnectFailed;
  socket.connect_error = error == 0 ? 0 : ErrorFromErrno(error);
}

void ReportConnect(Socket& socket) {
  if (socket.connect_reported || !Wants(socket, winsock::FD_CONNECT)) return;
  socket.connect_reported = true;
  Post(socket, winsock::FD_CONNECT, socket.connect_error);
}

void OnReady(winsock::SOCKET handle) {
  std::lock_guard lock(SocketsMutex());
  if (Socket* socket = FindSocket(handle)) Refresh(*socket);
}

void Watch(Socket& socket, std::unique_ptr<QSocketNotifier>& watch, QSocketNotifier::Type type,
           bool enabled) {
  if (!watch) {
    if (!enabled) return;
    watch = std::make_unique<QSocketNotifier>(socket.fd, type);
    QObject::connect(watch.get(), &QSocketNotifier::activated,
                     [handle = socket.handle] { OnReady(handle); });
  }
  watch->setEnabled(enabled);
}

}  // namespace

void SettleConnect(Socket& socket) {
  SettleConnect(socket, PollNow(socket.fd));
}

void Refresh(Socket& socket) {
  bool watch_read = false;
  bool watch_write = false;
  if (socket.window != 0 && socket.events != 0) {
    const short ready = PollNow(socket.fd);
    SettleConnect(socket, ready);
    switch (socket.phase) {
      case Phase::kConnecting:
        watch_write = true;
        break;
      case Phase::kConnectFailed:
        ReportConnect(socket);  // and nothing after it
        break;
      case Phase::kListening:
        watch_read = RefreshAccept(socket, ready);
        break;
      case Phase::kOpen:
        if (socket.stream) break;
        [[fallthrough]];  // a datagram socket can send and receive unconnected
      case Phase::kConnected:
        if (socket.stream) ReportConnect(socket);
        // The read side first: after a reset comes FD_CLOSE, and no FD_WRITE.
        watch_read = RefreshReadSide(socket, ready);
        watch_write = RefreshWriteSide(socket, ready);
        break;
    }
  }
  Watch(socket, socket.read_watch, QSocketNotifier::Read, watch_read);
  Watch(socket, socket.write_watch, QSocketNotifier::Write, watch_write);
}

}  // namespace wsock32
