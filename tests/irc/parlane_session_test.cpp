// Replays a session recorded from a real server and compares the events it raises
// with the expected log in tests/irc/data.
#include <gtest/gtest.h>

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

  ASSERT_EQ(log.entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(log.entries[i], expected[i]);
  EXPECT_FALSE(irc.IsOnChannel());
  EXPECT_TRUE(irc.ChannelOp());
}

}  // namespace
}  // namespace irc::test
