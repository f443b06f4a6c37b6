// The followed channel: IsOnChannel, the names list as its events show it, ChannelName,
// ChannelOp, and the count of entries per nickname behind the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#include "irc/nick_counts.h"
#include "irc/parlane.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

// Lines in order, as "me" following #c: the names events each raises and whether the
// user is on the channel afterwards.
TEST(NamesTest, ListFollowsJoinsPartsNamesAndNickChanges) {
  const std::tuple<std::string, std::vector<std::string>, bool> steps[] = {
      {":bob!u@h JOIN :#c\r\n", {}, false},
      {":srv 353 me = #c :@op +v plain \r\n",
       {R"(OnNames "@op")", R"(OnNames "+v")", R"(OnNames "plain")"},
       false},
      {":me!u@h JOIN :#c\r\n", {}, true},
      {":srv 353 me = #c :@op +v  plain\r\n",
       {R"(OnNickSet "@op")", R"(OnNames "@op")", R"(OnNickSet "+v")", R"(OnNames "+v")",
        R"(OnNames "")", R"(OnNickSet "plain")", R"(OnNames "plain")"},
       true},
      {":op!u@h PART #c :x\r\n", {}, true},
      {":plain!u@h NICK +v\r\n", {R"(OnNickCng "plain" "+v")"}, true},
      {":k!u@h KICK #c +v :r\r\n", {R"(OnNickDel "+v")"}, true},
      {":k!u@h KICK #c +v :r\r\n", {R"(OnNickDel "+v")"}, true},
      {":k!u@h KICK #c +v :r\r\n", {}, true},
      {":dave!u@h JOIN :#other\r\n", {R"(OnNickAdd "dave")"}, true},
      {":dave!u@h JOIN :#c\r\n", {}, true},
      {":srv 366 me #c :End of names\r\n", {}, true},
      {":srv 353 me = #c :me dave\r\n",
       {R"(OnNickSet "me")", R"(OnNames "me")", R"(OnNickSet "dave")", R"(OnNames "dave")"},
       true},
      {":k!u@h KICK #c me :out\r\n", {R"(OnNickDel "me")"}, true},
      {":me!u@h JOIN :#c\r\n", {R"(OnNickAdd "me")"}, true},
      {":me!u@h PART #c :bye\r\n", {R"(OnNickDel "me")"}, false},
      {":me!u@h JOIN :#c\r\n", {}, true},
      {":dave!u@h QUIT :q\r\n", {}, true},
  };
  TParlane irc;
  irc.SetNickName("me");
  irc.SetChannelName("#c");
  TEventLog log(irc, false);
  for (const auto& [line, names_events, on_channel_after] : steps) {
    log.entries.clear();
    irc.ProcessLine(line);
    // Keeps OnNames and OnNickAdd, -Set, -Del, -Cng.
    std::erase_if(log.entries, [](const std::string& e) {
      return !e.starts_with("OnNames ") && (!e.starts_with("OnNick") || e.starts_with("OnNick "));
    });
    EXPECT_EQ(log.entries, names_events) << line;
    EXPECT_EQ(irc.IsOnChannel(), on_channel_after) << line;
  }
}

// A long names reply goes on over several lines; the user's nickname may
// begin any of them but the first without starting the list afresh, or the
// names before it could never be taken off the list again.
TEST(NamesTest, OnlyTheFirstLineOfANamesReplyStartsAfresh) {
  TParlane irc;
  JoinWithNames(irc, "alice bob");
  irc.ProcessLine(":srv 353 me = #c :me carol\r\n");
  irc.ProcessLine(":srv 366 me #c :End of names\r\n");
  TEventLog log(irc, false);
  irc.ProcessLine(":alice!u@h QUIT :bye\r\n");
  EXPECT_TRUE(std::ranges::count(log.entries, R"(OnNickDel "alice")"));

  // A new reply that begins with the user's nickname does start afresh.
  log.entries.clear();
  irc.ProcessLine(":srv 353 me = #c :me bob\r\n");
  EXPECT_TRUE(std::ranges::count(log.entries, R"(OnNickSet "bob")"));
}

TEST(NamesTest, ChannelNameGetsAHashUnlessItHasAChannelMark) {
  const std::pair<std::string, std::string> writes[] = {
      {"", ""},   {"beginner", "#beginner"}, {"&local", "&local"}, {"a#b", "a#b"}, {"", "#"},
      {"#", "#"},
  };
  TParlane irc;
  for (const auto& [written, stored] : writes) {
    irc.SetChannelName(written);
    EXPECT_EQ(irc.ChannelName(), stored) << written;
  }
}

TEST(NamesTest, ChannelOpIsSetByAnyLineWithTheMarkedNickname) {
  TParlane irc;
  irc.SetNickName("bob");
  irc.ProcessLine(":x!u@host PRIVMSG #c :hi bob\r\n");
  EXPECT_FALSE(irc.ChannelOp());
  irc.ProcessLine(":x!u@bobhost PRIVMSG #c :hi\r\n");
  EXPECT_TRUE(irc.ChannelOp());
}

// The engine's count of entries per nickname against a plain map, through
// enough changes that its table grows, fills with freed slots and is rebuilt,
// and its buffer is compacted.
TEST(NickCounts, AgreesWithAPlainMapThroughAnyChanges) {
  std::mt19937 random(9);
  TNickCounts counts;
  std::map<std::string, std::size_t> plain;
  for (int step = 0; step < 200'000; ++step) {
    // Long names now and then, and a pool that grows then shrinks.
    const int pool = step < 100'000 ? 1 + step / 20 : 5001 - (step - 100'000) / 20;
    const std::string nick =
        "n" + std::to_string(random() % pool) + (random() % 50 == 0 ? std::string(40, 'x') : "");
    switch (random() % 5) {
      case 0:
      case 1:
        ASSERT_EQ(counts.AddNew(nick), plain.try_emplace(nick, 1).second) << step;
        break;
      case 2:
        if (const auto found = plain.find(nick); found != plain.end() && --found->second == 0) {
          plain.erase(found);
        }
        counts.RemoveOne(nick);
        break;
      case 3: {
        const auto found = plain.find(nick);
        const std::size_t had = found == plain.end() ? 0 : found->second;
        if (found != plain.end()) plain.erase(found);
        ASSERT_EQ(counts.RemoveAll(nick), had) << step;
        if (had > 0) {
          const std::string renamed = "r" + std::to_string(random() % pool);
          plain[renamed] += had;
          counts.Add(renamed, had);
        }
        break;
      }
      default:
        ASSERT_EQ(counts.Count(nick), plain.contains(nick) ? plain[nick] : 0) << step;
    }
    ASSERT_EQ(counts.Size(), plain.size()) << step;
  }
  for (const auto& [nick, count] : plain) ASSERT_EQ(counts.Count(nick), count) << nick;
  counts.Clear();
  EXPECT_EQ(counts.Count(plain.begin()->first), 0u);
  EXPECT_TRUE(counts.AddNew(plain.begin()->first));
}

}  // namespace
}  // namespace irc::test
