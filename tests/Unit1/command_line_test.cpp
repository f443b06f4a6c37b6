// The command line: what it may hold, and connecting at start with what it names.
#include "Unit1/command_line.h"
#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

TEST(CommandLine, TakesAServerAndAnOptionalPortAndNothingElse) {
  const TCommandLine none = ParseCommandLine({});
  EXPECT_TRUE(none.Valid);
  EXPECT_TRUE(none.Server.isEmpty());

  const TCommandLine server_only = ParseCommandLine({"127.0.0.1"});
  EXPECT_TRUE(server_only.Valid);
  EXPECT_EQ(server_only.Server, "127.0.0.1");
  EXPECT_TRUE(server_only.Port.isEmpty());

  const TCommandLine both = ParseCommandLine({"irc.test.local", "6667"});
  EXPECT_TRUE(both.Valid);
  EXPECT_EQ(both.Server, "irc.test.local");
  EXPECT_EQ(both.Port, "6667");

  EXPECT_FALSE(ParseCommandLine({"a", "1", "extra"}).Valid);
  EXPECT_FALSE(ParseCommandLine({"--help"}).Valid);
  EXPECT_FALSE(ParseCommandLine({"127.0.0.1", "-p"}).Valid);
}

TEST_F(FormTest, ConnectsAtStartToTheServerTheCommandLineNames) {
  ConnectAtStart(form_, ParseCommandLine({"127.0.0.1", QString::number(server_.Port())}));
  EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
  EXPECT_EQ(NextLine(), "PASS Mossel");
  EXPECT_EQ(form_.ircServer->text(), "127.0.0.1");
}

TEST_F(FormTest, WithoutAServerStartsIdleWithItsOwnSettings) {
  ConnectAtStart(form_, ParseCommandLine({}));
  EXPECT_EQ(form_.btnConnect->text(), "&Connect");
  EXPECT_EQ(form_.ircServer->text(), "irc.oftc.net");
  EXPECT_EQ(form_.ircPort->text(), "7000");
  EXPECT_FALSE(server_.HasClient());
}

}  // namespace
}  // namespace unit1
