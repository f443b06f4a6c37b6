// Replays a session recorded from a real server and compares the events it raises
// with the expected log in tests/irc/data.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "irc/parlane.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

// The lines of a data file, each with its line feed (and carriage return) kept.
std::vector<std::string> ReadLines(const std::string& name) {
  std::ifstream file(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line + "\n");
  return lines;
}

// Where two event logs part first, or "" where they do not: a failure then
// names the first event that differs instead of every one after it.
std::string FirstDifference(const std::vector<std::string>& got,
                            const std::vector<std::string>& expected) {
  const auto [mine, theirs] =
      std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
  if (mine == got.end() && theirs == expected.end()) return "";
  return "event " + std::to_string(mine - got.begin() + 1) + " is \"" +
         (mine == got.end() ? "(none)" : *mine) + "\", expected \"" +
         (theirs == expected.end() ? "(none)" : *theirs) + "\"";
}

// The session: register as Tolvex, read the message of the day, join #beginner,
// see bob join, talk and become robert, ask for the names, voice and kick robert,
// see him come back and quit, leave the channel and quit.
TEST(SessionTest, RecordedServerSessionGivesTheExpectedEvents) {
  const std::vector<std::string> lines = ReadLines("ngircd_session.txt");
  std::vector<std::string> expected = ReadLines("ngircd_session.events");
  ASSERT_EQ(lines.size(), 31u);
  for (auto& entry : expected) entry.pop_back();

  TParlane irc;
  irc.SetNickName("Tolvex");
  irc.SetChannelName("#beginner");
  TEventLog log(irc);
  for (const auto& line : lines) irc.ProcessLine(line);

  EXPECT_EQ(log.entries, expected) << FirstDifference(log.entries, expected);
  EXPECT_FALSE(irc.IsOnChannel());
  EXPECT_TRUE(irc.ChannelOp());
}

}  // namespace
}  // namespace irc::test
