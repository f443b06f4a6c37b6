// The window against a real IRCv3 server: the tester negotiates capabilities by
// hand, after which every line comes tagged; the client still answers PING, joins,
// lists the names and shows the conversation.
#include "tests/Unit1/form_fixture.h"
#include "tests/support/inspircd_fixture.h"
#include "tests/support/plain_irc_client.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::InspircdFixture;
using testsupport::PlainIrcClient;
using testsupport::WaitUntil;

// The server's PING comes after this long without a word from the client.
constexpr int kPingSeconds = 2;

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
    Type(form_.Edit2, line);
    PressReturn(form_.Edit2);
  }
  ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircd.Log();
  EXPECT_TRUE(Contains(
      LogLines(),
      "Capabilities acknowledged: server-time message-tags echo-message batch labeled-response"));
  EXPECT_TRUE(Contains(LogLines(), "Welcome to the local IRCv3 test server."));

  // The server's tagged PING, answered: the connection outlives two of them.
  const auto answered_pings = [&] {
    int pongs = 0;
    for (auto n = form_.RawLog.FirstNumber(); n < form_.RawLog.EndNumber(); ++n) {
      const TRawLine line = form_.RawLog.Line(n);
      pongs += line.Direction == TRawDirection::rdSent && line.Bytes.starts_with("PONG ");
    }
    return pongs;
  };
  ASSERT_TRUE(WaitUntil([&] { return answered_pings() >= 1; }, (kPingSeconds + 3) * 1000));
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
  Type(form_.Edit1, "hello from Tolvex");
  PressReturn(form_.Edit1);
  EXPECT_TRUE(WaitUntil([&] { return Contains(ChatEntries(), "Tolvex |hello from Tolvex"); }));
  ASSERT_TRUE(alice.WaitForLineContaining("hello from Tolvex").has_value());
}

}  // namespace
}  // namespace unit1
