// The line mix and event handlers shared by the benchmarks.
#include "bench/irc_line_mix.h"

#include <random>

namespace bench {
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

}  // namespace

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

void PrepareParlane(irc::TParlane& irc, TTouch& touch) {
  irc.SetNickName("Tolvex");
  irc.SetChannelName("#beginner");
  const auto handler = [&touch](auto&... args) { touch(args...); };
  irc.OnKill = irc.OnBan = irc.OnKick = handler;
  irc.OnQuit = irc.OnPart = irc.OnReply = irc.OnPrivMsg = irc.OnNotice = irc.OnMode = irc.OnPing =
      irc.OnError = irc.OnInvite = irc.OnNick = handler;
  irc.OnJoin = handler;
  irc.OnNames = irc.OnNickAdd = irc.OnNickSet = irc.OnNickDel = handler;
  irc.OnMsgLog = handler;
  irc.OnNickCng = handler;
}

}  // namespace bench
