// The scripted server's thread: accept one client, read its lines, carry out the
// endings the test asks for. Only this thread replaces or closes the client's
// socket, so a poll never watches a descriptor that another thread closed.
#include "tests/support/scripted_server.h"

#include <chrono>
#include <stdexcept>

namespace testsupport {
namespace {

// How long a test waits for the server thread to carry out an ending or to hand a
// send to the kernel; far longer than either takes.
constexpr int kServerStepLimitMs = 5000;
// The thread's turns between looks at what the test asked for.
constexpr int kTurnMs = 10;

}  // namespace

ScriptedServer::ScriptedServer(bool on_ipv6_loopback)
    : listener_(LoopbackSocket::Listen(8, on_ipv6_loopback)) {
  if (!listener_.Valid()) throw std::runtime_error("scripted server: cannot listen on loopback");
  thread_ = std::thread(&ScriptedServer::Serve, this);
}

ScriptedServer::~ScriptedServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
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

bool ScriptedServer::WaitForClientState(bool connected, int timeout_ms) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                           [&] { return client_.Valid() == connected; });
}

bool ScriptedServer::Send(std::string_view bytes) {
  std::lock_guard lock(mutex_);
  return client_.Valid() && client_.SendAll(bytes, kServerStepLimitMs);
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

bool ScriptedServer::EndClient(Ending how) {
  std::unique_lock lock(mutex_);
  if (!client_.Valid()) return false;
  requested_ending_ = how;
  changed_.wait_for(lock, std::chrono::milliseconds(kServerStepLimitMs),
                    [&] { return requested_ending_ == Ending::kNone; });
  return true;
}

void ScriptedServer::Serve() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      if (requested_ending_ != Ending::kNone) {
        DropClient(requested_ending_);
        requested_ending_ = Ending::kNone;
        changed_.notify_all();
      }
    }
    // While a client is connected the next one waits in the listening queue. Only
    // this thread replaces the client's socket, so it reads it without the lock.
    if (!(client_.Valid() ? client_ : listener_).WaitReadable(kTurnMs)) continue;
    if (client_.Valid()) {
      ReadFromClient();
      continue;
    }
    LoopbackSocket client = listener_.Accept(0);
    std::lock_guard lock(mutex_);
    client_ = std::move(client);
    clients_accepted_ += client_.Valid();
    changed_.notify_all();
  }
}

void ScriptedServer::ReadFromClient() {
  std::lock_guard lock(mutex_);
  const bool open = client_.ReadWaiting(partial_line_);
  for (std::string& line : TakeCrLfLines(partial_line_)) untaken_.push_back(std::move(line));
  if (!open) DropClient(Ending::kClose);
  changed_.notify_all();
}

void ScriptedServer::DropClient(Ending how) {
  if (!client_.Valid()) return;
  how == Ending::kReset ? client_.CloseWithReset() : client_.Close();
  partial_line_.clear();
}

}  // namespace testsupport
