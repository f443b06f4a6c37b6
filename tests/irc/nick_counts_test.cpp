// The engine's count of entries per nickname against a plain map, through
// enough changes that its table grows, fills with freed slots and is rebuilt,
// and its buffer is compacted.
#include "irc/nick_counts.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace irc {
namespace {

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
}  // namespace irc
