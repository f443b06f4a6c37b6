// The window against a real IRCv3 server, where the tester negotiates
// capabilities by hand, after which every line comes tagged, and the client still
// answers PING, joins, lists the names and shows the conversation; and a session
// with the plain real server over ::1 and over 127.0.0.1 (and its netsplit test).
#include "tests/Unit1/form_fixture.h"
#include "tests/support/inspircd_fixture.h"
#include "tests/support/ircd_fixture.h"
#include "tests/support/plain_irc_client.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::InspircdFixture;
using testsupport::IrcdFixture;
using testsupport::LoopbackSocket;
using testsupport::PlainIrcClient;
using testsupport::WaitUntil;

// The server's PING comes after this long without a word from the client.
constexpr int kPingSeconds = 2;

TEST_F(FormTest, TalksWithARealServerOverIPv6AndOverIPv4) {
  if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
  if (!LoopbackSocket::Listen6().Valid()) GTEST_SKIP() << "no IPv6 loopback";
  IrcdFixture ircd;
  ASSERT_EQ(ircd.Start(IrcdFixture::Motd::kPhrase, {}, "::1,127.0.0.1"), "");
  for (const std::string address : {"::1", "127.0.0.1"}) {
    SCOPED_TRACE(address);
    ConnectTo(ircd.Port(), address.c_str());
    ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircd.Log();
    Click(form_.btnJoin);
    ASSERT_TRUE(WaitUntil([&] { return Contains(Names(), "@Tolvex"); }));
    Click(form_.btnPart);
    ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }));
    Click(form_.btnConnect);
    ASSERT_TRUE(BackAtConnect());
  }
}

TEST_F(FormTest, NegotiatesByHandWithAnIrcv3ServerAndTalks) {
  if (!InspircdFixture::Installed()) GTEST_SKIP() << "inspircd is not installed";
  InspircdFixture ircd;
  ASSERT_EQ(ircd.Start(kPingSeconds), "");

  form_.Identity.Registration = TRegistrationKind::rkByHand;
  ConnectTo(ircd.Port());
  ASSERT_TRUE(WaitUntil([&] { return form_.IRCClient->Connected(); }));
  for (const char* line :
       {"CAP LS 302", "CAP REQ :server-time message-tags echo-message batch labeled-response",
        "NICK Tolvex", "USER Tolvex 0 * :Quillamore", "CAP END"}) {
    Enter(form_.Edit2, line);
  }
  ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircd.Log();
  EXPECT_TRUE(Contains(
      LogLines(),
      "Capabilities acknowledged: server-time message-tags echo-message batch labeled-response"));
  EXPECT_TRUE(Contains(LogLines(), "Welcome to the local IRCv3 test server."));

  // The server's tagged PING, answered: the connection outlives two of them.
  const auto answered_ping = [&] {
    return std::ranges::any_of(Raw(),
                               [](const std::string& line) { return line.starts_with("> PONG "); });
  };
  ASSERT_TRUE(WaitUntil(answered_ping, (kPingSeconds + 3) * 1000));
  EXPECT_TRUE(form_.IRCClient->Connected());

  PlainIrcClient alice(ircd.Port());
  ASSERT_TRUE(alice.Register("alice", ""));
  ASSERT_TRUE(alice.Join("#beginner"));
  Click(form_.btnJoin);
  ASSERT_TRUE(WaitUntil([&] { return form_.btnPart->isEnabled(); }));
  EXPECT_TRUE(WaitUntil([&] { return Names() == std::vector<std::string>{"@alice", "Tolvex"}; }));

  alice.SendLine("PRIVMSG #beginner :hello from alice");
  EXPECT_TRUE(WaitUntil([&] { return Contains(ChatEntries(), "alice |hello from alice"); }));
  // With echo-message the server hands the user's own message back, tagged.
  Enter(form_.Edit1, "hello from Tolvex");
  EXPECT_TRUE(WaitUntil([&] { return Contains(ChatEntries(), "Tolvex |hello from Tolvex"); }));
  ASSERT_TRUE(alice.WaitForLineContaining("hello from Tolvex").has_value());
}

}  // namespace
}  // namespace unit1
