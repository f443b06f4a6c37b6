// The window's addresses: a server on ::1 typed with and without brackets, the
// Connection > Address family menu, and server entries that hold no address.
#include <QAccessible>
#include <QMenu>
#include <QMenuBar>
#include <memory>

#include "sockets/address_text.h"
#include "sockets/socket_base.h"
#include "tests/Unit1/form_fixture.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

class AddressFormTest : public FormTest {
 protected:
  QAction* FamilyChoice(const QString& caption) const {
    for (QAction* action : form_.AddressFamily1->actions()) {
      if (action->text() == caption) return action;
    }
    return nullptr;
  }
};

TEST_F(AddressFormTest, ASessionWithAServerOnIPv6Loopback) {
  std::unique_ptr<testsupport::ScriptedServer> server6;
  try {
    server6 = std::make_unique<testsupport::ScriptedServer>(true);
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "no IPv6 loopback";
  }
  const auto next_line = [&]() -> std::string {
    if (!WaitUntil([&] { return server6->HasLine(); })) return "(none)";
    return *server6->TakeLine();
  };
  const std::string port = std::to_string(server6->Port());
  for (const char* typed : {"::1", "[::1]"}) {
    const std::uint64_t first = form_.RawLog.EndNumber();
    ConnectTo(server6->Port(), typed);
    ASSERT_TRUE(server6->WaitForClient()) << typed;
    EXPECT_EQ(next_line(), "PASS Mossel");
    EXPECT_EQ(next_line(), "NICK Tolvex");
    next_line();
    server6->SendLine("PING :x6");
    EXPECT_EQ(next_line(), "PONG x6");
    for (int i = 0; i < 200; ++i)
      server6->SendLine(":irc.test NOTICE Tolvex :burst " + std::to_string(i));
    server6->SendLine("PING :end");
    EXPECT_EQ(next_line(), "PONG end");
    EXPECT_TRUE(Contains(LogLines(), "burst 199")) << typed;
    const auto raw = Raw(first);
    EXPECT_TRUE(Contains(raw, "- connecting to [::1]:" + port)) << typed;
    EXPECT_TRUE(Contains(raw, "< :irc.test NOTICE Tolvex :burst 199")) << typed;
    EXPECT_EQ(sockets::AddressText(form_.IRCClient->Socket()->SockAddress()), "::1");
    Click(form_.btnConnect);
    ASSERT_TRUE(server6->WaitForNoClient());
    ASSERT_TRUE(BackAtConnect());
  }
}

TEST_F(AddressFormTest, TheAddressFamilyIsChosenFromTheConnectionMenu) {
  ASSERT_NE(form_.Connection1, nullptr);
  EXPECT_EQ(form_.Connection1->title(), "Co&nnection");
  EXPECT_EQ(form_.AddressFamily1->title(), "Address &family");
  QAction* any = FamilyChoice("&Any");
  QAction* four = FamilyChoice("IPv&4 only");
  QAction* six = FamilyChoice("IPv&6 only");
  ASSERT_TRUE(any && four && six);
  EXPECT_TRUE(any->isChecked());
  auto* menu = QAccessible::queryAccessibleInterface(form_.AddressFamily1);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->childCount(), 3);

  six->trigger();
  EXPECT_TRUE(six->isChecked() && !any->isChecked());
  ConnectTo(server_.Port(), "127.0.0.1");
  ASSERT_EQ(errors_, std::vector<std::string>{"The host has no IPv6 address"});
  errors_.clear();
  EXPECT_FALSE(server_.HasClient());
  Click(form_.btnConnect);  // Cancel, as after any connect that could not start
  ASSERT_TRUE(IsIdle());

  // The choice holds for the next connects.
  four->trigger();
  ConnectTo(server_.Port(), "::1");
  ASSERT_EQ(errors_, std::vector<std::string>{"The host has no IPv4 address"});
  errors_.clear();
  Click(form_.btnConnect);
  any->trigger();
  ConnectTo(server_.Port(), "127.0.0.1");
  EXPECT_TRUE(server_.WaitForClient());
}

TEST_F(AddressFormTest, AnEntryThatIsNoAddressIsNamedAndNotConnected) {
  for (const char* typed : {"::1::", "[::1", "fe80::1%nosuchif"}) {
    ConnectTo(server_.Port(), typed);
    EXPECT_TRUE(IsIdle()) << typed;
    EXPECT_TRUE(Contains(LogLines(), std::string("Not connected: \"") + typed +
                                         "\" is no address: an IPv6 address is written like "
                                         "::1, [2001:db8::7] or fe80::1%eth0, with an "
                                         "interface that exists"))
        << typed;
  }
  EXPECT_EQ(server_.ClientsAccepted(), 0u);
}

}  // namespace
}  // namespace unit1
