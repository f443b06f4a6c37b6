// The scripted server's thread: accept one client, read its lines, carry out the
// endings the test asks for. Only this thread replaces or closes the client's
// socket, so a poll never watches a descriptor that another thread closed.
#include "tests/support/scripted_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

namespace testsupport {
namespace {

// How long a test waits for the server thread to carry out an ending or to hand a
// send to the kernel; far longer than either takes.
constexpr int kServerStepLimitMs = 5000;

}  // namespace

ScriptedServer::ScriptedServer() : listener_(LoopbackSocket::Listen()) {
  int wake[2];
  if (!listener_.Valid() || pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::runtime_error("scripted server: cannot listen on 127.0.0.1");
  }
  wake_read_ = LoopbackSocket(wake[0]);
  wake_write_ = LoopbackSocket(wake[1]);
  port_ = listener_.Port();
  thread_ = std::thread(&ScriptedServer::Serve, this);
}

ScriptedServer::~ScriptedServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  Wake();
  thread_.join();
}

std::uint16_t ScriptedServer::RefusedPort() {
  // Kept bound, never listening, for the whole program: no one else can take the port.
  static const LoopbackSocket bound = LoopbackSocket::BoundOnly();
  return bound.Port();
}

bool ScriptedServer::HasClient() const {
  std::lock_guard lock(mutex_);
  return client_.Valid();
}

std::size_t ScriptedServer::ClientsAccepted() const {
  std::lock_guard lock(mutex_);
  return clients_accepted_;
}

bool ScriptedServer::WaitForClient(int timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                           [&] { return client_.Valid(); });
}

bool ScriptedServer::WaitForNoClient(int timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                           [&] { return !client_.Valid(); });
}

bool ScriptedServer::Send(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  return client_.Valid() && client_.SendAll(bytes, kServerStepLimitMs);
}

bool ScriptedServer::SendLine(std::string_view line) {
  std::string bytes(line);
  bytes += "\r\n";
  return Send(bytes);
}

bool ScriptedServer::HasLine() const {
  std::lock_guard lock(mutex_);
  return !untaken_.empty();
}

std::optional<std::string> ScriptedServer::TakeLine() {
  std::lock_guard lock(mutex_);
  if (untaken_.empty()) return std::nullopt;
  std::string line = std::move(untaken_.front());
  untaken_.pop_front();
  return line;
}

bool ScriptedServer::CloseClient() {
  return EndClient(Ending::kClose);
}

bool ScriptedServer::ResetClient() {
  return EndClient(Ending::kReset);
}

bool ScriptedServer::EndClient(Ending how) {
  std::unique_lock lock(mutex_);
  if (!client_.Valid()) return false;
  requested_ending_ = how;
  Wake();
  changed_.wait_for(lock, std::chrono::milliseconds(kServerStepLimitMs),
                    [&] { return requested_ending_ == Ending::kNone; });
  return true;
}

void ScriptedServer::Wake() const {
  const char byte = 0;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(wake_write_.Get(), &byte, 1);
}

void ScriptedServer::Serve() {
  for (;;) {
    int client_fd;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      if (requested_ending_ != Ending::kNone) {
        DropClient(requested_ending_);
        requested_ending_ = Ending::kNone;
        changed_.notify_all();
      }
      client_fd = client_.Get();
    }
    // While a client is connected the next one waits in the listening queue.
    pollfd entries[2] = {{wake_read_.Get(), POLLIN, 0},
                         {client_fd >= 0 ? client_fd : listener_.Get(), POLLIN, 0}};
    if (poll(entries, 2, -1) < 0) continue;
    if (entries[0].revents != 0) {
      char drained[64];
      while (read(wake_read_.Get(), drained, sizeof drained) > 0) {
      }
    }
    if (entries[1].revents == 0) continue;
    if (client_fd >= 0) {
      ReadFromClient();
    } else {
      AcceptClient();
    }
  }
}

void ScriptedServer::AcceptClient() {
  LoopbackSocket client = listener_.Accept(0);
  if (!client.Valid()) return;
  std::lock_guard lock(mutex_);
  client_ = std::move(client);
  ++clients_accepted_;
  changed_.notify_all();
}

void ScriptedServer::ReadFromClient() {
  char buffer[4096];
  const ssize_t received = recv(client_.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
  if (received < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return;
  std::lock_guard lock(mutex_);
  if (received <= 0) {
    DropClient(Ending::kClose);
  } else {
    partial_line_.append(buffer, std::size_t(received));
    for (std::string& line : TakeCrLfLines(partial_line_)) untaken_.push_back(std::move(line));
  }
  changed_.notify_all();
}

void ScriptedServer::DropClient(Ending how) {
  if (!client_.Valid()) return;
  how == Ending::kReset ? client_.CloseWithReset() : client_.Close();
  partial_line_.clear();
}

}  // namespace testsupport
