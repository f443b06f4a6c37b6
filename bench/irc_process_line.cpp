// How fast the IRC engine handles a realistic stream of server lines, next to a floor
// that only finds the carriage return and the first two blanks of each line.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "irc/parlane.h"

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

// One round of lines as a busy channel sends them: mostly chat, with joins, parts,
// quits and nick changes that undo each other over the round, names replies of 100
// names, pings, registration and message-of-the-day numerics, and channel list entries.
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

std::size_t TotalBytes(const std::vector<std::string>& lines) {
  std::size_t bytes = 0;
  for (const auto& line : lines) bytes += line.size();
  return bytes;
}

void SetRates(benchmark::State& state, const std::vector<std::string>& lines) {
  const double rounds = static_cast<double>(state.iterations());
  state.counters["lines/s"] =
      benchmark::Counter(rounds * static_cast<double>(lines.size()), benchmark::Counter::kIsRate);
  state.counters["bytes/s"] = benchmark::Counter(rounds * static_cast<double>(TotalBytes(lines)),
                                                 benchmark::Counter::kIsRate);
}

// Every handler reads the size and the first byte of each text it is handed.
struct TTouch {
  std::size_t sum = 0;
  template <typename... Texts>
  void operator()(irc::TParlane&, const Texts&... texts) {
    ((sum += texts.size() + (texts.empty() ? 0 : static_cast<unsigned char>(texts[0]))), ...);
  }
};

void BM_ProcessLine(benchmark::State& state) {
  const std::vector<std::string> lines = RealisticMix();
  irc::TParlane irc;
  irc.SetNickName("Tolvex");
  irc.SetChannelName("#beginner");
  TTouch touch;
  const auto handler = [&touch](auto&... args) { touch(args...); };
  irc.OnKill = irc.OnBan = irc.OnKick = handler;
  irc.OnQuit = irc.OnPart = irc.OnReply = irc.OnPrivMsg = irc.OnNotice = irc.OnMode = irc.OnPing =
      irc.OnError = irc.OnInvite = irc.OnNick = handler;
  irc.OnJoin = handler;
  irc.OnNames = irc.OnNickAdd = irc.OnNickSet = irc.OnNickDel = handler;
  irc.OnMsgLog = handler;
  irc.OnNickCng = handler;

  for (auto _ : state) {
    for (const auto& line : lines) irc.ProcessLine(line);
    benchmark::DoNotOptimize(touch.sum);
  }
  SetRates(state, lines);
}
BENCHMARK(BM_ProcessLine);

void BM_Floor_FindCarriageReturnAndTwoBlanks(benchmark::State& state) {
  const std::vector<std::string> lines = RealisticMix();
  for (auto _ : state) {
    for (const auto& line : lines) {
      const std::size_t cr = line.find('\r');
      const std::size_t first = line.find(' ');
      const std::size_t second = line.find(' ', first + 1);
      benchmark::DoNotOptimize(cr);
      benchmark::DoNotOptimize(second);
    }
  }
  SetRates(state, lines);
}
BENCHMARK(BM_Floor_FindCarriageReturnAndTwoBlanks);

}  // namespace

BENCHMARK_MAIN();
