// The window's addresses: a server on ::1 typed with and without brackets, the
// Connection > Address family menu, and server entries that hold no address.
#include <QMenu>

#include "sockets/address_text.h"
#include "sockets/socket_base.h"
#include "tests/Unit1/form_fixture.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

// The scripted server on ::1, where the machine has an IPv6 loopback.
class IPv6FormTest : public FormTest {
 protected:
  IPv6FormTest() : FormTest(testsupport::LoopbackSocket::Listen6().Valid()) {}
  void SetUp() override {
    if (!testsupport::LoopbackSocket::Listen6().Valid()) GTEST_SKIP() << "no IPv6 loopback";
    FormTest::SetUp();
  }
};

TEST_F(IPv6FormTest, ASessionWithAServerOnIPv6Loopback) {
  for (const char* typed : {"::1", "[::1]"}) {
    const std::uint64_t first = form_.RawLog.EndNumber();
    ConnectTo(server_.Port(), typed);
    EXPECT_EQ(NextLine(), "PASS Mossel") << typed;
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(NextLine().has_value());
    // A line arrives, and the PING behind it is answered.
    EXPECT_TRUE(Deliver({":irc.test NOTICE Tolvex :over IPv6"}).empty()) << typed;
    EXPECT_TRUE(Contains(LogLines(), "over IPv6")) << typed;
    EXPECT_TRUE(Contains(Raw(first), "- connecting to [::1]:" + std::to_string(server_.Port())));
    EXPECT_EQ(sockets::AddressText(form_.IRCClient->Socket()->SockAddress()), "::1");
    Click(form_.btnConnect);
    ASSERT_TRUE(server_.WaitForNoClient());
    ASSERT_TRUE(BackAtConnect());
  }
}

TEST_F(FormTest, TheAddressFamilyIsChosenFromTheConnectionMenu) {
  EXPECT_EQ(form_.Connection1->title(), "Co&nnection");
  EXPECT_EQ(form_.AddressFamily1->title(), "Address &family");
  const QList<QAction*> choices = form_.AddressFamily1->actions();
  ASSERT_EQ(choices.size(), 3);
  QAction *any = choices[0], *four = choices[1], *six = choices[2];
  EXPECT_EQ(any->text() + four->text() + six->text(), "&AnyIPv&4 onlyIPv&6 only");
  EXPECT_TRUE(any->isChecked());

  six->trigger();
  EXPECT_TRUE(six->isChecked() && !any->isChecked());
  ConnectTo(server_.Port(), "127.0.0.1");
  ASSERT_EQ(errors_, std::vector<std::string>{"The host has no IPv6 address"});
  errors_.clear();
  EXPECT_FALSE(server_.HasClient());
  Click(form_.btnConnect);  // Cancel, as after any connect that could not start
  ASSERT_TRUE(IsIdle());
  // The choice holds for the next connects, until another is made.
  four->trigger();
  any->trigger();
  ConnectTo(server_.Port(), "127.0.0.1");
  EXPECT_TRUE(server_.WaitForClient());
}

TEST_F(FormTest, AnEntryThatIsNoAddressIsNamedAndNotConnected) {
  const std::string why =
      "\" is no address: an IPv6 address is written like ::1, "
      "[2001:db8::7] or fe80::1%eth0, with an interface that exists";
  for (const std::string typed : {"::1::", "[::1", "fe80::1%nosuchif"}) {
    ConnectTo(server_.Port(), typed.c_str());
    EXPECT_TRUE(IsIdle()) << typed;
    EXPECT_TRUE(Contains(LogLines(), "Not connected: \"" + typed + why)) << typed;
  }
  EXPECT_EQ(server_.ClientsAccepted(), 0u);
}

}  // namespace
}  // namespace unit1
