// The soak's IRC server: a thread on 127.0.0.1 that registers the client,
// answers its JOIN with the channel's names, then plays a seeded mix of
// network traffic at a busy rate with PINGs of unique tokens, and now and
// then closes the connection, accepting the client's next one. On request it
// pauses at a checkpoint: it sends a PING and, once the PONG is back (so the
// client has handled everything before it), holds still with its names.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/soak_channel.h"
#include "bench/soak_traffic.h"

namespace bench {

class SoakConnection;

struct SoakPeerOptions {
  std::uint64_t seed = 1;
  double lines_per_second = 2500;
  double close_every_seconds = 180;
};

struct SoakPeerProgress {
  std::uint64_t lines = 0;
  std::uint64_t connections = 0;
  std::uint64_t pings_sent = 0;
  std::uint64_t pings_answered = 0;
  // PONGs whose token was never sent, or sent and answered already.
  std::uint64_t pongs_unknown = 0;
  std::vector<double> ping_delays_ms;
};

class SoakPeer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SoakPeer(const SoakPeerOptions& options);
  ~SoakPeer();
  SoakPeer(const SoakPeer&) = delete;
  SoakPeer& operator=(const SoakPeer&) = delete;

  std::uint16_t Port() const { return port_; }

  void RequestCheckpoint();
  // The channel's names once the peer holds still at the checkpoint asked for.
  std::optional<std::vector<std::string>> CheckpointNames();
  void Resume();

  SoakPeerProgress Progress() const;

 private:
  void Run();
  void Serve(SoakConnection& connection);
  bool Register(SoakConnection& connection);
  bool AwaitJoin(SoakConnection& connection);
  bool Play(SoakConnection& connection);
  // Sends a PING and waits for its PONG; false when the connection ended first.
  bool Sync(SoakConnection& connection);
  bool HoldAtCheckpoint(SoakConnection& connection);
  void SendPing(SoakConnection& connection, const std::string& token);
  // Pumps the connection and takes the client's PONGs, handing its other
  // lines to `heard` when given; false when the connection ended.
  bool Pump(SoakConnection& connection, int timeout_ms, std::vector<std::string>* heard = nullptr);
  void Send(SoakConnection& connection, const std::string& line);

  SoakPeerOptions options_;
  int listener_;
  std::uint16_t port_ = 0;
  std::mt19937_64 random_;
  SoakChannel channel_;
  SoakTraffic traffic_;
  std::uint64_t next_token_ = 0;
  std::map<std::string, Clock::time_point> pings_out_;

  std::atomic<bool> stop_{false};
  std::atomic<bool> checkpoint_requested_{false};
  mutable std::mutex mutex_;
  bool paused_ = false;
  bool resume_ = false;
  std::vector<std::string> paused_names_;
  SoakPeerProgress progress_;
  std::thread thread_;
};

}  // namespace bench
