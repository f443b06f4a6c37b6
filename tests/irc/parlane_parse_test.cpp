// Cutting a server line: sender, command, trailing text, parameters, kick target.
#include <gtest/gtest.h>

#include "irc/parlane.h"
#include "tests/irc/event_log.h"

namespace irc::test {
namespace {

// Each line and the log event it raises first, which carries every cut value.
TEST(CutTest, LogEventCarriesTheCutValues) {
  const std::pair<std::string, std::string> cases[] = {
      {":alice!al@host1 PRIVMSG #chan :hi there\r\n",
       R"(OnMsgLog "alice" "alice (al@host1" "***" "PRIVMSG" "hi there" "#chan :hi there\r\n")"},
      {"PING :irc1\r\n", R"(OnMsgLog "" "" "" "PING" "irc1" ":irc1\r\n")"},
      {":irc1 376 me :End\r\n", R"(OnMsgLog "" "irc1" "***" "376" "End" "me :End\r\n")"},
      {"\r\n", R"(OnMsgLog "" "" "" "" "" "\r\n")"},
      {":a X y\r\n", R"(OnMsgLog "" "UNKNOWN" "***" "X" "y" "y\r\n")"},
      {": X y\r\n", R"(OnMsgLog "" "UNKNOWN" "***" "X" "y" "y\r\n")"},
      {":nospace\r\n", R"(OnMsgLog "" "UNKNOWN" "***" "" "nospace" "nospace\r\n")"},
      {":irc1  376 me\r\n", R"(OnMsgLog "" "irc1" "***" "" "376 me" "376 me\r\n")"},
      {":!srv X y\r\n", R"(OnMsgLog "" "srv" "!" "X" "y" "y\r\n")"},
      {":!@srv X y\r\n", R"(OnMsgLog "" "srv" "@" "X" "y" "y\r\n")"},
      {":a!b!c X y\r\n", R"(OnMsgLog "a" "a (b!c" "***" "X" "y" "y\r\n")"},
      {"MODE #chan +o bob\r\n", R"(OnMsgLog "" "" "" "MODE" "#chan +o bob" "#chan +o bob\r\n")"},
      {"X a :b:c\r\n", R"(OnMsgLog "" "" "" "X" "b:c" "a :b:c\r\n")"},
      // A ":" after the carriage return, or no carriage return left after the
      // prefix, gives no trailing text.
      {"X a\r:b\n", R"(OnMsgLog "" "" "" "X" "" "a\r:b\n")"},
      {":a\rb X y\n", R"(OnMsgLog "" "a\rb" "***" "X" "" "y\n")"},
  };
  for (const auto& [line, logged] : cases) {
    TParlane irc;
    TEventLog log(irc);
    irc.ProcessLine(line);
    ASSERT_FALSE(log.entries.empty()) << Quote(line);
    EXPECT_EQ(log.entries.front(), logged) << Quote(line);
  }
}

TEST(CutTest, LineWithoutCarriageReturnRaisesNothing) {
  TParlane irc;
  TEventLog log(irc);
  for (const char* line : {"", "PING :irc1\n", "PING :irc1"}) irc.ProcessLine(line);
  EXPECT_TRUE(log.entries.empty());
}

struct TTargetCase {
  std::string rest, person, reason;
};

TEST(ParseTargetTest, SkipsTheFirstParameterAndDropsBlanksFromTheReason) {
  // The plain KICK and KILL forms are in the dispatch table.
  const TTargetCase cases[] = {
      {"#chan victim\r\n", "", "ictim"},
      {"nothing\r\n", "", "othing"},
      {"#chan  bob\r\n", "", "bob"},
      // No carriage return left after the person: no reason, not the rest.
      {"#c\r bob :x y\n", "bob", ""},
  };
  for (const auto& c : cases) {
    std::string person = "stale", reason = "stale";
    ParseTarget(c.rest, person, reason);
    EXPECT_EQ(person, c.person) << c.rest;
    EXPECT_EQ(reason, c.reason) << c.rest;
  }
}

}  // namespace
}  // namespace irc::test
