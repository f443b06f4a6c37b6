// The window against a real IRC server: registration, the message of the day,
// a conversation with a second user on the channel, and being kicked.
#include "tests/Unit1/form_fixture.h"
#include "tests/support/ircd_fixture.h"
#include "tests/support/plain_irc_client.h"

namespace unit1 {
namespace {

using testsupport::IrcdFixture;
using testsupport::PlainIrcClient;
using testsupport::WaitUntil;

TEST_F(FormTest, TalksWithARealServerUntilKicked) {
  if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
  IrcdFixture ircd;
  ASSERT_EQ(ircd.Start(), "");

  // The second user joins first and so becomes the channel's operator.
  PlainIrcClient alice(ircd.Port());
  ASSERT_TRUE(alice.Register("alice", IrcdFixture::kPassword));
  ASSERT_TRUE(alice.Join("#beginner"));

  ConnectTo(ircd.Port());
  ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircd.Log();
  EXPECT_TRUE(Contains(LogLines(), "- Welcome to the local test server."));

  Click(form_.btnJoin);
  ASSERT_TRUE(WaitUntil([&] { return form_.btnPart->isEnabled(); }));
  EXPECT_TRUE(WaitUntil([&] { return Names() == std::vector<std::string>{"@alice", "Tolvex"}; }));
  ASSERT_TRUE(alice.WaitForLineContaining(" JOIN :#beginner").has_value());

  alice.SendLine("PRIVMSG #beginner :hello from alice");
  EXPECT_TRUE(WaitUntil([&] { return Contains(ChatEntries(), "alice |hello from alice"); }));

  alice.SendLine("KICK #beginner Tolvex :enough");
  EXPECT_TRUE(WaitUntil([&] { return form_.btnConnect->text() == "&Connect"; }));
  EXPECT_TRUE(Contains(LogLines(), "KICK <Tolvex> :enough"));
  // The server tells that the client left with a QUIT, not by just closing.
  EXPECT_TRUE(WaitUntil([&] {
    const std::string log = ircd.Log();
    return log.find("\"Tolvex!~Tolvex@127.0.0.1\" unregistered (connection") != std::string::npos &&
           log.find("Got QUIT command") != std::string::npos;
  })) << ircd.Log();
}

TEST_F(FormTest, JoinBecomesUsableOnAServerWithoutMessageOfTheDay) {
  if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
  IrcdFixture ircd;
  ASSERT_EQ(ircd.Start(IrcdFixture::Motd::kMissing), "");

  ConnectTo(ircd.Port());
  ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircd.Log();
  EXPECT_TRUE(Contains(LogLines(), "MOTD file is missing")) << ircd.Log();
  Click(form_.btnJoin);
  EXPECT_TRUE(WaitUntil([&] { return form_.btnPart->isEnabled(); }));
}

}  // namespace
}  // namespace unit1
