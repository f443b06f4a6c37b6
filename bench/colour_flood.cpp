// What a flood of notices in ever-new colours costs the window, beside its
// well-behaved twins: the same notices without colours, and the busy channel
// mix of the window_flood rows; and the same colours in channel messages, which
// go to the chat list. Each row runs in a process of its own (this
// program again, told which flood by COLOUR_FLOOD_ROW), so that each peak is
// that row's alone; the child reports the CPU time of the window's thread from
// the connect to the last line, and its peak resident memory, without the
// stream the benchmark itself holds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "Unit1/unit1.h"
#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"
#include "bench/window_session.h"
#include "platform/winsys/winsys.h"
#include "transport/text_client.h"

namespace {

enum Flood : int { kMessageBurst = 0, kPlainNotices = 1, kColourNotices = 2, kColourMessages = 3 };

// Colour codes in each notice of the colour flood.
constexpr int kColoursPerNotice = 24;
// The window's goals: the colour flood's peak at most this far above the
// message burst's, and its CPU at most this.
constexpr double kPeakOverBurstGoalMiB = 15;
constexpr double kCpuGoalSeconds = 0.53;

// Notices of about 400 bytes, each word in a hex colour never used before,
// or the same words plain; or channel messages instead of notices.
std::string Notices(std::size_t count, bool coloured, bool messages = false) {
  std::string stream = ":irc.test 001 Tolvex :Welcome\r\n";
  stream.reserve(count * 420);
  unsigned colour = 0;
  for (std::size_t i = 0; i < count; ++i) {
    stream += messages ? ":bob!u@h PRIVMSG #beginner :" : ":bob!u@h NOTICE Tolvex :";
    for (int word = 0; word < kColoursPerNotice; ++word) {
      if (coloured) {
        char code[8];
        std::snprintf(code, sizeof code, "\x04%06X", ++colour & 0xFFFFFFu);
        stream += code;
      }
      stream += "word" + std::to_string(word % 10) + "ab ";
    }
    stream += "\r\n";
  }
  return stream;
}

std::string Stream(int flood, std::size_t count) {
  if (flood != kMessageBurst) {
    return Notices(count, flood != kPlainNotices, flood == kColourMessages);
  }
  const std::vector<std::string> lines = bench::RealisticMix();
  std::string stream;
  stream.reserve(count * 512);
  for (std::size_t i = 0; i < count; ++i) stream += lines[i % lines.size()];
  return stream;
}

// The child: the window takes the flood; prints "cpu_s peak_MiB stream_MiB".
int RunRow(int flood, std::size_t count) {
  const std::string stream = Stream(flood, count);
  bench::LoopbackPeer peer(stream);
  unit1::TForm1 form;
  form.show();
  std::size_t lines = 0;
  const transport::TLineReceivedEvent handle = form.IRCClient->OnLineReceived;
  form.IRCClient->OnLineReceived = [&](transport::TLineSocketBase& socket, const std::string& line,
                                       bool complete) {
    handle(socket, line, complete);
    ++lines;
  };
  bool ended = false;
  bench::AimWindowAt(form, peer.Port(), ended);
  const double cpu = bench::ThreadCpuSeconds();
  form.btnConnectClick();
  const std::size_t expected = flood == kMessageBurst ? count : count + 1;
  while (lines < expected && !ended) winsys::Application().HandleMessage();
  // The last lines are shown and drawn too.
  while (form.Memo1->HasHeldLines()) winsys::Application().HandleMessage();
  form.Memo1->viewport()->repaint();
  QCoreApplication::processEvents();
  std::printf("%f %f %f %zu\n", bench::ThreadCpuSeconds() - cpu, bench::PeakMemoryMiB(),
              double(stream.size()) / (1 << 20), lines);
  return lines == expected ? 0 : 1;
}

struct Row {
  double cpu_s = 0;
  double peak_mib = 0;
  double stream_mib = 0;
};

std::string& ProgramPath() {
  static std::string path;
  return path;
}

// The peaks of the rows run so far, for the colour row's comparison.
std::map<int, double>& PeaksLessStream() {
  static std::map<int, double> peaks;
  return peaks;
}
std::map<int, double>& CpuSeconds() {
  static std::map<int, double> cpu;
  return cpu;
}

bool RunChild(int flood, std::size_t count, Row& row) {
  const std::string command = "COLOUR_FLOOD_ROW=" + std::to_string(flood) + ":" +
                              std::to_string(count) + " '" + ProgramPath() + "'";
  std::FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return false;
  std::size_t lines = 0;
  const int read =
      std::fscanf(child, "%lf %lf %lf %zu", &row.cpu_s, &row.peak_mib, &row.stream_mib, &lines);
  return pclose(child) == 0 && read == 4;
}

void BM_ColourFlood(benchmark::State& state) {
  const int flood = int(state.range(0));
  const std::size_t count = std::size_t(state.range(1));
  for (auto _ : state) {
    Row row;
    if (!RunChild(flood, count, row)) {
      state.SkipWithError("the row's process failed");
      continue;
    }
    state.SetIterationTime(row.cpu_s);
    const double peak = row.peak_mib - row.stream_mib;
    state.counters["cpu_s"] = row.cpu_s;
    state.counters["peak_MiB"] = row.peak_mib;
    state.counters["peak_less_stream_MiB"] = peak;
    PeaksLessStream()[flood] = peak;
    CpuSeconds()[flood] = row.cpu_s;
    if (flood == kColourNotices || flood == kColourMessages) {
      state.counters["cpu_goal_s"] = kCpuGoalSeconds;
      if (PeaksLessStream().contains(kMessageBurst)) {
        state.counters["peak_over_burst_MiB"] = peak - PeaksLessStream()[kMessageBurst];
        state.counters["peak_over_burst_goal_MiB"] = kPeakOverBurstGoalMiB;
      }
      if (CpuSeconds().contains(kPlainNotices)) {
        state.counters["x_plain_cpu"] = row.cpu_s / CpuSeconds()[kPlainNotices];
      }
    }
  }
}
// The twins first, so that the colour row can show its comparisons.
BENCHMARK(BM_ColourFlood)
    ->ArgNames({"flood", "lines"})
    ->Args({kMessageBurst, 200'000})
    ->Args({kPlainNotices, 20'000})
    ->Args({kColourNotices, 20'000})
    ->Args({kColourMessages, 20'000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (const char* row = std::getenv("COLOUR_FLOOD_ROW")) {
    QApplication app(argc, argv);
    winsys::Application().SetExceptionHandler([](const std::exception& error) {
      std::fprintf(stderr, "colour_flood: %s\n", error.what());
      std::exit(1);
    });
    char* end = nullptr;
    const int flood = int(std::strtol(row, &end, 10));
    return RunRow(flood, std::size_t(std::strtoull(end + 1, nullptr, 10)));
  }
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return 1;
  ProgramPath().assign(path, std::size_t(length));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
