// The soak's IRC server thread.
#include "bench/soak_peer.h"

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "bench/loopback_peer.h"
#include "bench/soak_connection.h"

namespace bench {

namespace {

using Seconds = std::chrono::duration<double>;

// The peer stops making traffic while this much waits for the client.
constexpr std::size_t kMaxPendingBytes = std::size_t{256} << 10;
constexpr std::size_t kUsualChannelSize = 400;
constexpr int kSyncTimeoutMs = 120'000;

const std::string kServerPrefix = std::string(":") + kSoakServer + " ";

}  // namespace

SoakPeer::SoakPeer(const SoakPeerOptions& options)
    : options_(options),
      listener_(socket(AF_INET, SOCK_STREAM, 0)),
      random_(options.seed),
      channel_(random_, kUsualChannelSize),
      traffic_(random_, channel_) {
  port_ = ListenOnLoopback(listener_, 4);
  thread_ = std::thread([this] { Run(); });
}

SoakPeer::~SoakPeer() {
  stop_ = true;
  thread_.join();
  close(listener_);
}

void SoakPeer::RequestCheckpoint() {
  checkpoint_requested_ = true;
}

std::optional<std::vector<std::string>> SoakPeer::CheckpointNames() {
  const std::lock_guard lock(mutex_);
  if (!paused_) return std::nullopt;
  return paused_names_;
}

void SoakPeer::Resume() {
  const std::lock_guard lock(mutex_);
  resume_ = true;
}

SoakPeerProgress SoakPeer::Progress() const {
  const std::lock_guard lock(mutex_);
  return progress_;
}

void SoakPeer::Run() {
  while (!stop_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    const int fd = accept(listener_, nullptr, nullptr);
    if (fd < 0) continue;
    {
      const std::lock_guard lock(mutex_);
      ++progress_.connections;
    }
    SoakConnection connection(fd);
    // PINGs of a connection that ended before their PONGs stay unanswered.
    Serve(connection);
    channel_.ClientLeft();
  }
}

void SoakPeer::Serve(SoakConnection& connection) {
  if (!Register(connection) || !AwaitJoin(connection)) return;
  if (!Play(connection)) return;
  // The server's own close: everything sent before it has been answered.
  if (!Sync(connection)) return;
  Send(connection, "ERROR :Closing Link: 127.0.0.1 (Connection rotated)");
  connection.CloseAfterDrain(10'000);
}

bool SoakPeer::Register(SoakConnection& connection) {
  bool nick = false;
  bool user = false;
  std::vector<std::string> heard;
  while (!(nick && user)) {
    if (stop_ || !Pump(connection, 20, &heard)) return false;
    for (const std::string& line : heard) {
      nick = nick || line.starts_with("NICK ");
      user = user || line.starts_with("USER ");
    }
  }
  static const char* const kWelcome[] = {
      "001 Tolvex :Welcome to the Soak IRC Network Tolvex!~Quillamore@127.0.0.1",
      "002 Tolvex :Your host is irc.soak.test, running version soak-1",
      "003 Tolvex :This server was created today",
      "004 Tolvex irc.soak.test soak-1 iowx biklmnopstv bklov",
      "005 Tolvex CHANTYPES=# PREFIX=(ohv)@%+ NICKLEN=30 :are supported by this server",
      "251 Tolvex :There are 400 users and 12 invisible on 1 server",
      "375 Tolvex :- irc.soak.test Message of the day -",
      "372 Tolvex :- Be kind; the channel is busy.",
      "372 Tolvex :- Rotations happen every few minutes.",
      "376 Tolvex :End of /MOTD command.",
  };
  for (const char* line : kWelcome) Send(connection, kServerPrefix + line);
  return true;
}

bool SoakPeer::AwaitJoin(SoakConnection& connection) {
  std::vector<std::string> heard;
  for (;;) {
    if (stop_ || !Pump(connection, 20, &heard)) return false;
    for (const std::string& line : heard) {
      if (line != "JOIN #beginner") continue;
      channel_.ClientJoined();
      Send(connection, ":Tolvex!~Quillamore@127.0.0.1 JOIN :#beginner");
      Send(connection, kServerPrefix + "332 Tolvex #beginner :Welcome to the busy channel");
      Send(connection, kServerPrefix + "333 Tolvex #beginner Warden 1765000000");
      const std::size_t lines = AppendNamesReply(channel_.Names(), connection.Out());
      const std::lock_guard lock(mutex_);
      progress_.lines += lines;
      return true;
    }
  }
}

bool SoakPeer::Play(SoakConnection& connection) {
  const Clock::time_point start = Clock::now();
  const double close_after =
      options_.close_every_seconds * std::uniform_real_distribution<double>(0.75, 1.25)(random_);
  Clock::time_point last = start;
  Clock::time_point next_ping = start;
  Clock::time_point next_pace = start;
  double pace = 1;
  // Lines owed at the current rate; a burst drives it below zero.
  double credit = 0;
  while (!stop_) {
    if (!Pump(connection, 2)) return false;
    if (checkpoint_requested_) {
      if (!HoldAtCheckpoint(connection)) return false;
      last = Clock::now();
    }
    const Clock::time_point now = Clock::now();
    if (Seconds(now - start).count() >= close_after) return true;
    if (now >= next_ping) {
      SendPing(connection, "soak" + std::to_string(next_token_++));
      next_ping = now + std::chrono::milliseconds(300 + random_() % 1400);
    }
    if (now >= next_pace) {
      // Busy and quiet spells, a few seconds each.
      pace = std::uniform_real_distribution<double>(0.3, 1.7)(random_);
      next_pace = now + std::chrono::seconds(2 + random_() % 6);
    }
    const double rate = options_.lines_per_second * pace;
    credit = std::min(credit + rate * Seconds(now - last).count(), rate * 0.05);
    last = now;
    std::size_t made = 0;
    while (credit > 0 && connection.Pending() < kMaxPendingBytes) {
      const std::size_t lines = traffic_.Next(connection.Out());
      credit -= double(lines);
      made += lines;
    }
    if (made > 0) {
      const std::lock_guard lock(mutex_);
      progress_.lines += made;
    }
  }
  return false;
}

bool SoakPeer::HoldAtCheckpoint(SoakConnection& connection) {
  if (!Sync(connection)) return false;
  {
    const std::lock_guard lock(mutex_);
    paused_names_ = channel_.Names();
    paused_ = true;
    resume_ = false;
    checkpoint_requested_ = false;
  }
  const auto resumed = [&] {
    const std::lock_guard lock(mutex_);
    return resume_;
  };
  while (!stop_ && !resumed()) {
    if (!Pump(connection, 10)) break;
  }
  const std::lock_guard lock(mutex_);
  paused_ = false;
  return !stop_ && resume_;
}

bool SoakPeer::Sync(SoakConnection& connection) {
  const std::string token = "sync" + std::to_string(next_token_++);
  SendPing(connection, token);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kSyncTimeoutMs);
  while (pings_out_.contains(token)) {
    if (stop_ || Clock::now() > deadline || !Pump(connection, 10)) return false;
  }
  return true;
}

void SoakPeer::SendPing(SoakConnection& connection, const std::string& token) {
  Send(connection, "PING :" + token);
  pings_out_[token] = Clock::now();
  const std::lock_guard lock(mutex_);
  ++progress_.pings_sent;
}

void SoakPeer::Send(SoakConnection& connection, const std::string& line) {
  connection.Out() += line + "\r\n";
  const std::lock_guard lock(mutex_);
  ++progress_.lines;
}

bool SoakPeer::Pump(SoakConnection& connection, int timeout_ms, std::vector<std::string>* heard) {
  const bool open = connection.Pump(timeout_ms);
  if (heard != nullptr) heard->clear();
  for (auto line = connection.TakeLine(); line; line = connection.TakeLine()) {
    if (!line->starts_with("PONG ")) {
      if (heard != nullptr) heard->push_back(std::move(*line));
      continue;
    }
    const auto sent = pings_out_.find(line->substr(5));
    const std::lock_guard lock(mutex_);
    if (sent == pings_out_.end()) {
      ++progress_.pongs_unknown;
      continue;
    }
    ++progress_.pings_answered;
    progress_.ping_delays_ms.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - sent->second).count());
    pings_out_.erase(sent);
  }
  return open;
}

}  // namespace bench
