// How fast the whole receive path carries a flood of server lines: a loopback
// peer thread writes N lines as fast as the connection takes them; a text client
// with 5120-byte buffers and all four line options cuts them and hands each to
// an IRC engine with every event assigned. The floor reads the same stream with a
// plain blocking recv loop that only counts line ends.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "irc/parlane.h"
#include "platform/winsys/winsys.h"
#include "transport/text_client.h"

// The POSIX socket headers come last: their macros would rewrite names that the
// socket layer's headers declare.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const std::string kServer = ":irc.test.local ";

std::string Prefix(int user) {
  const std::string id = std::to_string(user);
  return ":nick" + id + "!~user" + id + "@host-" + id + ".example.net ";
}

std::string Text(std::mt19937& random, std::size_t length) {
  static const char* const kWords[] = {"hello",  "the",  "server", "is",    "slow", "today",
                                       "anyone", "seen", "that",   "patch", "ok",   "thanks"};
  std::string text;
  while (text.size() < length) {
    text += kWords[random() % std::size(kWords)];
    text += ' ';
  }
  text.resize(length);
  return text;
}

// The irc_process_line benchmark's round of a busy channel: chat, joins, parts,
// quits and nick changes that undo each other, names replies, pings, numerics.
std::vector<std::string> RealisticMix() {
  std::mt19937 random(7);
  std::vector<std::string> lines;
  const auto add = [&](const std::string& line) { lines.push_back(line + "\r\n"); };
  for (const char* numeric : {"001", "002", "003", "004", "005", "251", "254", "255", "265", "266",
                              "250", "375", "372", "372", "372", "376"}) {
    add(kServer + numeric + " Tolvex :" + Text(random, 40));
  }
  add(":Tolvex!~Quillamore@127.0.0.1 JOIN :#beginner");
  std::string names = kServer + "353 Tolvex = #beginner :@Tolvex";
  for (int user = 0; user < 100; ++user)
    names += (user % 10 ? " nick" : " +nick") + std::to_string(user);
  for (int round = 0; round < 10; ++round) {
    for (int i = 0; i < 60; ++i) {
      add(Prefix(random() % 100) + "PRIVMSG #beginner :" + Text(random, 60 + random() % 141));
    }
    for (int i = 0; i < 3; ++i) {
      const int user = 100 + round * 10 + i;
      add(Prefix(user) + "JOIN :#beginner");
      add(Prefix(user) + (i % 2 ? "QUIT :Client closed connection" : "PART #beginner :bye"));
    }
    add(Prefix(round + 1) + "NICK :renamed" + std::to_string(round));
    add(":renamed" + std::to_string(round) + "!~user@host NICK :nick" + std::to_string(round + 1));
    add(names);
    add("PING :irc.test.local");
    for (int i = 0; i < 8; ++i) {
      add(kServer + "322 Tolvex #chan" + std::to_string(i) + " " + std::to_string(i * 3) + " :" +
          Text(random, 50));
    }
  }
  return lines;
}

// The first `count` lines of the mix, repeated round after round, as one stream.
std::string Flood(std::size_t count) {
  const std::vector<std::string> mix = RealisticMix();
  std::string stream;
  for (std::size_t i = 0; i < count; ++i) stream += mix[i % mix.size()];
  return stream;
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// A listening socket on 127.0.0.1 whose thread writes the stream to the first
// connection with blocking sends, as fast as the connection takes it, then
// closes.
class FloodPeer {
 public:
  explicit FloodPeer(const std::string& stream) : listener_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
    listen(listener_, 1);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, &stream] {
      const int connection = accept(listener_, nullptr, nullptr);
      for (std::size_t at = 0; connection >= 0 && at < stream.size();) {
        const ssize_t sent = send(connection, stream.data() + at, stream.size() - at, MSG_NOSIGNAL);
        if (sent <= 0) break;
        at += std::size_t(sent);
      }
      close(connection);
    });
  }
  ~FloodPeer() {
    thread_.join();
    close(listener_);
  }
  std::uint16_t Port() const { return port_; }

 private:
  int listener_;
  std::uint16_t port_ = 0;
  std::thread thread_;
};

// Real time, reader CPU time and the rates of one pass over `lines` lines.
class PassTimer {
 public:
  PassTimer() : wall_(std::chrono::steady_clock::now()), cpu_(ThreadCpuSeconds()) {}
  void Report(benchmark::State& state, std::size_t lines, std::size_t bytes) const {
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
    const double cpu = ThreadCpuSeconds() - cpu_;
    state.SetIterationTime(wall);
    state.counters["lines/s"] = double(lines) / wall;
    state.counters["MB/s"] = double(bytes) / wall / 1e6;
    state.counters["cpu_s/Mline"] = cpu / double(lines) * 1e6;
  }

 private:
  std::chrono::steady_clock::time_point wall_;
  double cpu_;
};

// Every IRC handler reads the size and first byte of each text it is handed.
struct TTouch {
  std::size_t sum = 0;
  template <typename... Texts>
  void operator()(irc::TParlane&, const Texts&... texts) {
    ((sum += texts.size() + (texts.empty() ? 0 : static_cast<unsigned char>(texts[0]))), ...);
  }
};

void AssignEveryEvent(irc::TParlane& irc, TTouch& touch) {
  const auto handler = [&touch](auto&... args) { touch(args...); };
  irc.OnKill = irc.OnBan = irc.OnKick = handler;
  irc.OnQuit = irc.OnPart = irc.OnReply = irc.OnPrivMsg = irc.OnNotice = irc.OnMode = irc.OnPing =
      irc.OnError = irc.OnInvite = irc.OnNick = handler;
  irc.OnJoin = handler;
  irc.OnNames = irc.OnNickAdd = irc.OnNickSet = irc.OnNickDel = handler;
  irc.OnMsgLog = handler;
  irc.OnNickCng = handler;
}

void BM_TextClientIntoParlane(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string stream = Flood(count);
  for (auto _ : state) {
    irc::TParlane irc;
    irc.SetNickName("Tolvex");
    irc.SetChannelName("#beginner");
    TTouch touch;
    AssignEveryEvent(irc, touch);

    transport::TTextClient client(nullptr);
    client.SetReadBufferSize(5120);
    client.SetWriteBufferSize(5120);
    client.LineOptions = {transport::lsoAddLineChars, transport::lsoAutoFlushAfterWrite,
                          transport::lsoReturnLineChars, transport::lsoLineReceivedEvents};
    std::size_t lines = 0;
    bool ended = false;
    client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
      irc.ProcessLine(line);
      ++lines;
    };
    client.OnDisconnect = [&](sockets::TSockCtrl&, sockets::TSocketBase*) { ended = true; };
    FloodPeer peer(stream);
    client.SetAddress("127.0.0.1");
    client.SetPort(std::to_string(peer.Port()));

    const PassTimer timer;
    client.Open(transport::TTextClient::LineSocketClass());
    while (lines < count && !ended) winsys::Application().HandleMessage();
    timer.Report(state, lines, stream.size());
    benchmark::DoNotOptimize(touch.sum);
    if (lines != count) state.SkipWithError("lines were lost");
  }
}
BENCHMARK(BM_TextClientIntoParlane)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Floor_RecvCountingLineEnds(benchmark::State& state) {
  const std::size_t count = std::size_t(state.range(0));
  const std::string stream = Flood(count);
  for (auto _ : state) {
    FloodPeer peer(stream);
    const PassTimer timer;
    const int reader = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(peer.Port());
    connect(reader, reinterpret_cast<sockaddr*>(&address), sizeof address);
    std::size_t lines = 0;
    char buffer[5120];
    for (ssize_t got; (got = recv(reader, buffer, sizeof buffer, 0)) > 0;) {
      lines += std::size_t(std::count(buffer, buffer + got, '\n'));
    }
    close(reader);
    timer.Report(state, lines, stream.size());
    if (lines != count) state.SkipWithError("lines were lost");
  }
}
BENCHMARK(BM_Floor_RecvCountingLineEnds)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The socket layer delivers its notifications through the Qt event loop.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
