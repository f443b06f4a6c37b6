// The soak: hours of mixed traffic change nothing. The real window (offscreen)
// stays connected to a loopback IRC server that plays a seeded busy network
// and closes the connection every few minutes; the window reconnects and
// rejoins through its own Connect and Join. Every minute, at a checkpoint
// where the window has handled everything sent, one line reports and checks:
// every PING answered with its own token, the names list equal to the
// server's, resident memory without a trend (under 30 minutes: without a rise
// of more than a few MiB), open files and threads flat, and
// the bounds of the logs held. Exits non-zero when a check fails.
//
//   bench_soak [--minutes=N] [--seed=S] [--close-every=SECONDS] [--rate=LINES_PER_SECOND]
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Unit1/unit1.h"
#include "bench/soak_measures.h"
#include "bench/soak_peer.h"
#include "bench/soak_window_check.h"
#include "bench/window_session.h"
#include "platform/winsys/winsys.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr auto kCheckpointEvery = std::chrono::seconds(60);
constexpr auto kMemorySampleEvery = std::chrono::seconds(10);
// A checkpoint the window does not reach in this long fails the run.
constexpr auto kCheckpointTimeout = std::chrono::seconds(180);
// Memory may grow during the first minute (the logs fill up to their bounds).
constexpr double kWarmUpSeconds = 60;
// A slope needs time: over a few minutes the allocator's wobble of a few hundred
// KiB reads as MiB per hour. Shorter runs are held to a bound instead.
constexpr int kSlopeRunMinutes = 30;
// The raw log counts as full this close to its bound on memory: it drops a
// whole block at a time, and its blocks shrink once compressed.
constexpr std::size_t kRawLogNearlyFull = std::size_t{1} << 20;
constexpr double kMaxSlopeMiBPerHour = 1.0;
constexpr std::size_t kMinSlopeSamples = 3;
constexpr double kMaxRiseMiB = 4.0;

struct Options {
  int minutes = 10;
  bench::SoakPeerOptions peer;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const auto value = [&](std::string_view flag) -> const char* {
      return argument.starts_with(flag) ? argv[i] + flag.size() : nullptr;
    };
    if (const char* minutes = value("--minutes=")) {
      options.minutes = std::atoi(minutes);
    } else if (const char* seed = value("--seed=")) {
      options.peer.seed = std::strtoull(seed, nullptr, 10);
    } else if (const char* every = value("--close-every=")) {
      options.peer.close_every_seconds = std::atof(every);
    } else if (const char* rate = value("--rate=")) {
      options.peer.lines_per_second = std::atof(rate);
    } else {
      std::fprintf(stderr, "bench_soak: unknown argument %s\n", argv[i]);
      return std::nullopt;
    }
  }
  if (options.minutes < 1 || options.peer.close_every_seconds <= 0 ||
      options.peer.lines_per_second <= 0) {
    std::fprintf(stderr, "bench_soak: minutes, close interval and rate must be positive\n");
    return std::nullopt;
  }
  return options;
}

// What the checkpoints found so far.
struct Verdict {
  int checkpoints_due = 0;
  int checkpoints = 0;
  int names_matched = 0;
  bool pings_all_answered = true;
  bool bounds_held = true;
  std::optional<std::size_t> first_fds;
  std::optional<std::size_t> first_threads;
  bool fds_flat = true;
  bool threads_flat = true;
  bench::SoakPeerProgress progress;
  std::vector<bench::MemorySample> memory;

  std::vector<bench::MemorySample> AfterWarmUp() const {
    std::vector<bench::MemorySample> after;
    for (const bench::MemorySample& sample : memory) {
      if (sample.seconds >= kWarmUpSeconds) after.push_back(sample);
    }
    return after;
  }
  bool SlopeRule() const { return checkpoints_due >= kSlopeRunMinutes; }
  bool MemoryFlat() const {
    const auto after = AfterWarmUp();
    if (!SlopeRule()) return bench::HighestRiseMiB(after) <= kMaxRiseMiB;
    return after.size() < kMinSlopeSamples || bench::SlopeMiBPerHour(after) < kMaxSlopeMiBPerHour;
  }
  bool Passed() const {
    return checkpoints == checkpoints_due && names_matched == checkpoints && pings_all_answered &&
           bounds_held && fds_flat && threads_flat && MemoryFlat();
  }
};

std::string PingSummary(const bench::SoakPeerProgress& progress) {
  char text[128];
  std::snprintf(text, sizeof text, "pings %llu/%llu worst %.1f ms p99 %.1f ms",
                static_cast<unsigned long long>(progress.pings_answered),
                static_cast<unsigned long long>(progress.pings_sent),
                bench::Percentile(progress.ping_delays_ms, 1.0),
                bench::Percentile(progress.ping_delays_ms, 0.99));
  return text;
}

unsigned long long Reconnects(const bench::SoakPeerProgress& progress) {
  return progress.connections > 0 ? progress.connections - 1 : 0;
}

// Runs the window's loop until `done`; HandleMessage waits for an event, and
// the caller keeps a timer running so that one always comes.
template <typename Done>
void RunLoopUntil(const Done& done) {
  while (!done()) winsys::Application().HandleMessage();
}

void Checkpoint(unit1::TForm1& form, bench::SoakPeer& peer, std::vector<std::string> names,
                double seconds, Verdict& verdict) {
  // The window handled everything before the PONG; what it put off for the
  // next turns of its loop (the names view, held log lines) comes now.
  const Clock::time_point quiet_until = Clock::now() + std::chrono::milliseconds(200);
  RunLoopUntil([&] { return Clock::now() >= quiet_until; });
  const bench::WindowCheck check = bench::CheckWindow(form, std::move(names));
  const std::size_t fds = bench::OpenFileCount();
  const std::size_t threads = bench::ThreadCount();
  verdict.progress = peer.Progress();
  const bench::SoakPeerProgress& progress = verdict.progress;

  ++verdict.checkpoints;
  verdict.names_matched += check.names_equal ? 1 : 0;
  verdict.pings_all_answered = verdict.pings_all_answered &&
                               progress.pings_answered == progress.pings_sent &&
                               progress.pongs_unknown == 0;
  verdict.bounds_held = verdict.bounds_held && check.bounds_held;
  if (!verdict.first_fds) verdict.first_fds = fds;
  if (!verdict.first_threads) verdict.first_threads = threads;
  verdict.fds_flat = verdict.fds_flat && fds == *verdict.first_fds;
  verdict.threads_flat = verdict.threads_flat && threads == *verdict.first_threads;

  std::printf(
      "minute %d (%.0f s): %llu lines, %llu reconnects, %s, names %zu/%zu%s, rss %.1f MiB, "
      "fds %zu, threads %zu, %s%s\n",
      verdict.checkpoints, seconds, static_cast<unsigned long long>(progress.lines),
      Reconnects(progress), PingSummary(progress).c_str(), check.listed, check.modelled,
      check.names_equal ? "" : " DIFFER", bench::ResidentMiBInUse(), fds, threads,
      check.sizes.c_str(), check.bounds_held ? "" : " OVER BOUND");
  if (!check.names_equal) std::printf("  names: %s\n", check.names_differ.c_str());
  if (progress.pongs_unknown > 0) {
    std::printf("  %llu PONGs with a token never sent or answered twice\n",
                static_cast<unsigned long long>(progress.pongs_unknown));
  }
  std::fflush(stdout);
}

void Summary(int minutes, const Verdict& verdict) {
  const auto after = verdict.AfterWarmUp();
  char memory[96];
  if (!verdict.SlopeRule()) {
    std::snprintf(memory, sizeof memory, "rise %+.1f MiB (bound rule, under %d min: at most %.0f)",
                  bench::HighestRiseMiB(after), kSlopeRunMinutes, kMaxRiseMiB);
  } else if (after.size() < kMinSlopeSamples) {
    std::snprintf(memory, sizeof memory, "slope n/a (slope rule)");
  } else {
    std::snprintf(memory, sizeof memory, "slope %+.2f MiB/h (slope rule: under %.0f)",
                  bench::SlopeMiBPerHour(after), kMaxSlopeMiBPerHour);
  }
  const auto flat = [](bool held) { return held ? "flat" : "NOT FLAT"; };
  std::printf(
      "soak: %d min, %llu lines, %llu reconnects, %s, names %d/%d, memory %s %s, "
      "fds %zu %s, threads %zu %s, bounds %s: %s\n",
      minutes, static_cast<unsigned long long>(verdict.progress.lines),
      Reconnects(verdict.progress), PingSummary(verdict.progress).c_str(), verdict.names_matched,
      verdict.checkpoints, memory, flat(verdict.MemoryFlat()), verdict.first_fds.value_or(0),
      flat(verdict.fds_flat), verdict.first_threads.value_or(0), flat(verdict.threads_flat),
      verdict.bounds_held ? "held" : "EXCEEDED", verdict.Passed() ? "PASS" : "FAIL");
  std::fflush(stdout);
}

bool Soak(const Options& options) {
  bench::SoakPeer peer(options.peer);
  unit1::TForm1 form;
  form.show();
  bool ended = false;
  bench::AimWindowAt(form, peer.Port(), ended);
  QTimer wake;
  wake.start(10);

  Verdict verdict;
  verdict.checkpoints_due = options.minutes;
  const Clock::time_point start = Clock::now();
  Clock::time_point next_sample = start + kMemorySampleEvery;
  Clock::time_point next_checkpoint = start + kCheckpointEvery;
  bool checkpoint_due = false;
  Clock::time_point checkpoint_asked = start;
  bool join_due = true;
  bool raw_log_full = false;
  form.btnConnectClick();
  while (verdict.checkpoints < options.minutes) {
    winsys::Application().HandleMessage();
    if (ended) {
      ended = false;
      join_due = true;
      form.btnConnectClick();
    }
    if (join_due && form.btnJoin->isEnabled()) {
      join_due = false;
      form.btnJoinClick();
    }
    const Clock::time_point now = Clock::now();
    if (now >= next_sample) {
      // Like is compared with like: a reconnect empties the log pane, which
      // takes a minute to fill again, so only samples with it full count;
      // and the raw log, which takes minutes to fill and stays full (nothing
      // empties it), counts once it has reached its bound.
      raw_log_full = raw_log_full || form.RawLog.Size() >= rawlog::kRawLogLinesKept ||
                     form.RawLog.Bytes() + kRawLogNearlyFull >= rawlog::kRawLogBytesKept;
      if (raw_log_full && form.Memo1->document()->blockCount() >= unit1::kLogLinesKept) {
        verdict.memory.push_back({Seconds(now - start).count(), bench::ResidentMiBInUse()});
      }
      next_sample += kMemorySampleEvery;
    }
    if (!checkpoint_due && now >= next_checkpoint) {
      peer.RequestCheckpoint();
      checkpoint_due = true;
      checkpoint_asked = now;
    }
    if (!checkpoint_due) continue;
    if (auto names = peer.CheckpointNames()) {
      Checkpoint(form, peer, std::move(*names), Seconds(now - start).count(), verdict);
      peer.Resume();
      checkpoint_due = false;
      next_checkpoint += kCheckpointEvery;
    } else if (now - checkpoint_asked > kCheckpointTimeout) {
      std::printf("checkpoint %d: the window never answered the checkpoint's PING\n",
                  verdict.checkpoints + 1);
      break;
    }
  }
  Summary(options.minutes, verdict);
  return verdict.Passed();
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) return 2;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  winsys::Application().SetExceptionHandler([program = argv[0]](const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    std::exit(1);
  });
  return Soak(*options) ? 0 : 1;
}
