// How fast the whole window takes a flood of server lines, next to the stack
// under it on the same bytes. A loopback peer writes the stream as fast as the
// connection takes it; the real main window (offscreen) reads it through its
// own text client, engine, handlers, chat list, names list and log pane, and
// repaints as it goes. The headless stack is the text client and the engine
// with every event assigned, nothing shown. The mixes: the busy channel mix,
// the same with some messages coloured, the same with message tags (server-time
// and msgid) on every line after the window's CAP REQ, and a channel list (322
// replies, which all go to the log pane). The busy mix also comes over TLS,
// through a relay that encrypts on a thread of its own.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "Il/indent_list_box.h"
#include "Unit1/unit1.h"
#include "bench/headless_stack.h"
#include "bench/irc_line_mix.h"
#include "bench/loopback_peer.h"
#include "bench/window_session.h"
#include "platform/winsys/winsys.h"
#include "tests/support/test_certificates.h"
#include "tests/support/tls_front.h"
#include "transport/text_client.h"

namespace {

using Clock = std::chrono::steady_clock;

enum Mix : int { kMessages = 0, kChannelList = 1, kColouredMessages = 2, kTaggedMessages = 3 };

// One message in this many is formatted in the coloured mix.
constexpr std::size_t kColouredShare = 4;

// The message's first word in bold, the rest in red on light grey, and a
// reset before the end.
std::string Coloured(const std::string& line) {
  const std::size_t text = line.find(" :", line.find("PRIVMSG"));
  const std::size_t word_end = line.find(' ', text + 2);
  if (text == std::string::npos || word_end == std::string::npos) return line;
  return line.substr(0, text + 2) + "\x02" + line.substr(text + 2, word_end - text - 2) +
         "\x02\x03"
         "04,15" +
         line.substr(word_end, line.size() - 2 - word_end) + "\x0F.\r\n";
}

// The tags a server with server-time and message-tags puts in front of a line:
// its time to the millisecond and an identifier of its own.
std::string Tags(std::size_t i) {
  char tags[80];
  std::snprintf(tags, sizeof tags, "@time=2024-05-01T%02zu:%02zu:%02zu.%03zuZ;msgid=%016zx ",
                i / 3'600'000 % 24, i / 60'000 % 60, i / 1000 % 60, i % 1000,
                std::size_t(i * 0x9E3779B97F4A7C15ULL));
  return tags;
}

std::string Stream(int mix, std::size_t count) {
  // Room for the longest lines, reserved at once: only the pages written become
  // resident, and no regrowth leaves a peak of its own behind.
  std::string stream;
  stream.reserve(count * 512);
  if (mix == kMessages || mix == kColouredMessages) {
    std::vector<std::string> lines = bench::RealisticMix();
    std::size_t messages = 0;
    for (std::string& line : lines) {
      if (mix == kColouredMessages && line.find(" PRIVMSG ") != std::string::npos &&
          messages++ % kColouredShare == 0) {
        line = Coloured(line);
      }
    }
    for (std::size_t i = 0; i < count; ++i) stream += lines[i % lines.size()];
    return stream;
  }
  if (mix == kTaggedMessages) {
    const std::vector<std::string> lines = bench::RealisticMix();
    for (std::size_t i = 0; i < count; ++i) stream += Tags(i) + lines[i % lines.size()];
    return stream;
  }
  std::mt19937 random(11);
  static const char* const kWords[] = {"linux", "help", "chat", "music", "dev", "games", "talk"};
  for (std::size_t i = 0; i < count; ++i) {
    std::string topic;
    const std::size_t length = 20 + random() % 100;
    while (topic.size() < length) topic += std::string(kWords[random() % 7]) + " ";
    stream += ":irc.test.local 322 Tolvex #channel" + std::to_string(i) + " " +
              std::to_string(random() % 500) + " :" + topic + "\r\n";
  }
  return stream;
}

using Pass = bench::TPass;

// The µs per line of each mix, for the rows that compare with them: the
// headless stack's, and the window's with the raw-log pane hidden.
std::map<int, double>& HeadlessMicros() {
  static std::map<int, double> micros;
  return micros;
}
std::map<int, double>& PaneHiddenMicros() {
  static std::map<int, double> micros;
  return micros;
}
// The CPU µs per line of each mix in the clear, for the TLS rows.
std::map<int, double>& ClearCpuMicros() {
  static std::map<int, double> micros;
  return micros;
}

// The certificates of the TLS rows, their CA trusted for the whole process.
const testsupport::TestCertificates& Certificates() {
  static const testsupport::TestCertificates certificates;
  static const bool trusted = setenv("SSL_CERT_FILE", certificates.CaFile().c_str(), 1) == 0;
  (void)trusted;
  return certificates;
}

void Report(benchmark::State& state, const Pass& pass, std::size_t bytes) {
  state.SetIterationTime(pass.wall);
  state.counters["lines/s"] = double(pass.lines) / pass.wall;
  state.counters["us/line"] = pass.wall / double(pass.lines) * 1e6;
  state.counters["cpu_us/line"] = pass.cpu / double(pass.lines) * 1e6;
  state.counters["MB/s"] = double(bytes) / pass.wall / 1e6;
  state.counters["peak_MiB"] = bench::PeakMemoryMiB();
  // The benchmark itself holds the whole stream; without it, the peak is the
  // client's (with the peer's thread).
  state.counters["peak_less_stream_MiB"] = bench::PeakMemoryMiB() - double(bytes) / (1 << 20);
}

// Notes when a key typed into the message entry was first painted there.
class KeyWatch : public QObject {
 public:
  Clock::time_point typed;
  Clock::time_point shown;
  bool pending = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (pending && event->type() == QEvent::Paint) {
      shown = Clock::now();
      pending = false;
    }
    return false;
  }
};

// What one run of the window measured.
struct WindowRun {
  Pass pass;
  // From a key typed half way to its first paint; -1 when it never showed.
  double key_ms = -1;
  double peak_before = 0;
  // What the raw log held at the end.
  double raw_log_mib = 0;
  // What the chat list held at the end: none when the messages were not read.
  int chat_entries = 0;
};

WindowRun Window(const std::string& stream, std::size_t count, bool raw_log_shown,
                 bool tagged = false, bool tls = false) {
  WindowRun run;
  Pass& pass = run.pass;
  bench::LoopbackPeer peer(stream);
  std::optional<testsupport::TlsFront> relay;
  if (tls) relay.emplace(Certificates().Trusted(), peer.Port());
  unit1::TForm1 form;
  form.RawLog1->setChecked(raw_log_shown);
  form.show();
  KeyWatch watch;
  form.Edit1->installEventFilter(&watch);
  const transport::TLineReceivedEvent handle = form.IRCClient->OnLineReceived;
  // Half way through, the user types a key.
  form.IRCClient->OnLineReceived = [&](transport::TLineSocketBase& socket, const std::string& line,
                                       bool complete) {
    handle(socket, line, complete);
    if (++pass.lines == count / 2) {
      watch.typed = Clock::now();
      watch.pending = true;
      QCoreApplication::postEvent(form.Edit1,
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q"));
    }
  };
  // Tags are cut only once a CAP REQ has gone out: the tester types it as soon as
  // the connection is made.
  if (tagged) {
    const sockets::TSocketEvent connect = form.IRCClient->OnConnect;
    form.IRCClient->OnConnect = [&form, connect](sockets::TSockCtrl& sender,
                                                 sockets::TSocketBase* socket) {
      connect(sender, socket);
      form.Edit2->setText("CAP REQ :server-time message-tags");
      form.Edit2KeyUp(unit1::VK_RETURN);
    };
  }
  bool ended = false;
  bench::AimWindowAt(form, tls ? relay->Port() : peer.Port(), ended);
  form.cbTls->setChecked(tls);
  run.peak_before = bench::CurrentMemoryMiB();
  const Clock::time_point start = Clock::now();
  const double cpu = bench::ThreadCpuSeconds();
  form.btnConnectClick();
  while (pass.lines < count && !ended) winsys::Application().HandleMessage();
  // What the last lines changed is shown too.
  QCoreApplication::processEvents();
  pass.wall = std::chrono::duration<double>(Clock::now() - start).count();
  pass.cpu = bench::ThreadCpuSeconds() - cpu;
  if (!watch.pending) {
    run.key_ms = std::chrono::duration<double, std::milli>(watch.shown - watch.typed).count();
  }
  run.raw_log_mib = double(form.RawLog.Bytes()) / (1 << 20);
  run.chat_entries = form.ilbChat->Count();
  return run;
}

void BM_Headless(benchmark::State& state) {
  const int mix = int(state.range(0));
  const std::size_t count = std::size_t(state.range(1));
  const std::string stream = Stream(mix, count);
  for (auto _ : state) {
    const Pass pass = bench::RunHeadlessStack(stream, count);
    Report(state, pass, stream.size());
    HeadlessMicros()[mix] = pass.wall / double(pass.lines) * 1e6;
    if (pass.lines != count) state.SkipWithError("lines were lost");
  }
}

// The first window of a process loads fonts, fills the shaping caches and
// grows the heap page by page (costly in a virtual machine); a run of each
// mix does that before any row is measured, so that every row finds the
// process as the one before it left it. WINDOW_FLOOD_COLD=1 leaves it out, for
// a row's memory run alone: its peak growth is then the window's own.
void WarmUp() {
  static const bool warm = [] {
    if (qEnvironmentVariableIntValue("WINDOW_FLOOD_COLD") == 1) return false;
    // Enough lines to fill the raw log to its bound.
    constexpr std::size_t kWarmUpLines = 200'000;
    for (const int mix : {kMessages, kChannelList, kColouredMessages, kTaggedMessages}) {
      for (const bool raw_log_shown : {false, true}) {
        Window(Stream(mix, kWarmUpLines), kWarmUpLines, raw_log_shown, mix == kTaggedMessages);
      }
    }
    Window(Stream(kMessages, kWarmUpLines), kWarmUpLines, false, false, /*tls=*/true);
    return true;
  }();
  (void)warm;
}

void BM_Window(benchmark::State& state) {
  WarmUp();
  const int mix = int(state.range(0));
  const std::size_t count = std::size_t(state.range(1));
  const std::string stream = Stream(mix, count);
  for (auto _ : state) {
    const bool raw_log_shown = state.range(2) != 0;
    const bool tls = state.range(3) != 0;
    const WindowRun run = Window(stream, count, raw_log_shown, mix == kTaggedMessages, tls);
    const Pass& pass = run.pass;
    Report(state, pass, stream.size());
    const double micros = pass.wall / double(pass.lines) * 1e6;
    // Meaningful when the window runs alone, cold (see WarmUp).
    state.counters["peak_growth_MiB"] = bench::PeakMemoryMiB() - run.peak_before;
    state.counters["key_shown_ms"] = run.key_ms;
    state.counters["raw_log_MiB"] = run.raw_log_mib;
    if (HeadlessMicros().contains(mix))
      state.counters["x_headless"] = micros / HeadlessMicros()[mix];
    const double cpu_micros = pass.cpu / double(pass.lines) * 1e6;
    if (!raw_log_shown && !tls && count <= 200'000) {
      PaneHiddenMicros()[mix] = micros;
      ClearCpuMicros()[mix] = cpu_micros;
    }
    // TLS against the clear text, CPU per line on the window's thread, from
    // the same run.
    if (tls && ClearCpuMicros().contains(mix)) {
      state.counters["x_clear_cpu"] = cpu_micros / ClearCpuMicros()[mix];
    }
    // The raw-log pane shown against hidden, and coloured or tagged messages
    // against plain ones, each from the same run.
    if (raw_log_shown && !tls && PaneHiddenMicros().contains(mix)) {
      state.counters["x_pane_hidden"] = micros / PaneHiddenMicros()[mix];
    }
    if ((mix == kColouredMessages || mix == kTaggedMessages) &&
        PaneHiddenMicros().contains(kMessages)) {
      state.counters["x_plain_mix"] = micros / PaneHiddenMicros()[kMessages];
      // The window thread's CPU, which neighbours on a shared machine disturb
      // less than the wall clock.
      state.counters["x_plain_cpu"] = cpu_micros / ClearCpuMicros()[kMessages];
    }
    if (pass.lines != count) {
      state.SkipWithError(("lines were lost: " + std::to_string(pass.lines)).c_str());
    }
    // Tagged lines whose tags were not cut would all be unknown replies.
    if (mix != kChannelList && run.chat_entries == 0) state.SkipWithError("no chat entries");
  }
}

// The headless side first, so that each window row can show its ratio.
BENCHMARK(BM_Headless)
    ->ArgNames({"list_mix", "lines"})
    ->Args({kMessages, 200'000})
    ->Args({kChannelList, 50'000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
// The million-line run shows whether memory stays flat once the chat list and
// the raw log are full (its peak_growth_MiB, run alone).
BENCHMARK(BM_Window)
    ->ArgNames({"list_mix", "lines", "raw_log_shown", "tls"})
    ->Args({kMessages, 200'000, 0, 0})
    ->Args({kMessages, 200'000, 0, 1})
    ->Args({kMessages, 200'000, 1, 0})
    ->Args({kColouredMessages, 200'000, 0, 0})
    ->Args({kTaggedMessages, 200'000, 0, 0})
    ->Args({kChannelList, 50'000, 0, 0})
    ->Args({kChannelList, 50'000, 1, 0})
    ->Args({kMessages, 1'000'000, 1, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
