// The window through a netsplit between two linked real servers: the users of the
// far server leave the names list with the split and come back with the link.

#include "tests/Unit1/form_fixture.h"
#include "tests/support/ircd_fixture.h"
#include "tests/support/linked_ircds.h"
#include "tests/support/plain_irc_client.h"

namespace unit1 {
namespace {

using testsupport::Clock;
using testsupport::IrcdFixture;
using testsupport::LinkedIrcds;
using testsupport::PlainIrcClient;
using testsupport::WaitUntil;

constexpr int kFarUsers = 200;
// Registrations under way at once: the server's queue of connections it has not
// accepted yet is short, and a connection dropped from it is tried again only a
// second later.
constexpr int kUnderWay = 8;
std::string FarNick(int i) {
  return "far" + std::to_string(1000 + i).substr(1);
}

std::vector<std::string> FarNicks() {
  std::vector<std::string> nicks;
  for (int i = 0; i < kFarUsers; ++i) nicks.push_back(FarNick(i));
  return nicks;
}

// kFarUsers users registered on the server at `port` and on the channel; none
// when one of them could not get there.
std::vector<PlainIrcClient> JoinFarUsers(std::uint16_t port) {
  std::vector<PlainIrcClient> users;
  users.reserve(kFarUsers);
  const auto joined = [&](int i) { return users[std::size_t(i)].WaitForReply({"366"}); };
  for (int i = 0; i < kFarUsers; ++i) {
    if (i >= kUnderWay && !joined(i - kUnderWay)) return {};
    PlainIrcClient& user = users.emplace_back(port);
    if (!user.SendRegistration(FarNick(i), IrcdFixture::kPassword) ||
        !user.SendLine("JOIN #beginner")) {
      return {};
    }
  }
  for (int i = kFarUsers - kUnderWay; i < kFarUsers; ++i) {
    if (!joined(i)) return {};
  }
  return users;
}

TEST_F(FormTest, NetsplitTakesTheFarUsersOffTheNamesListAndTheRelinkBringsThemBack) {
  if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
  LinkedIrcds ircds;
  ASSERT_EQ(ircds.Start(), "");

  ConnectTo(ircds.FirstPort());
  ASSERT_TRUE(WaitUntil([&] { return form_.btnJoin->isEnabled(); }, 10000)) << ircds.Logs();
  Click(form_.btnJoin);
  const std::vector<std::string> alone{"@Tolvex"};
  ASSERT_TRUE(WaitUntil([&] { return Names() == alone; })) << ircds.Logs();

  std::vector<PlainIrcClient> far_users = JoinFarUsers(ircds.SecondPort());
  ASSERT_EQ(far_users.size(), std::size_t(kFarUsers)) << ircds.Logs();
  std::vector<std::string> everyone = FarNicks();
  everyone.insert(everyone.begin(), "@Tolvex");
  ASSERT_TRUE(WaitUntil([&] { return Names() == everyone; }, 10000))
      << Names().size() << " names listed\n"
      << ircds.Logs();

  // A link that has lasted long enough comes back within seconds once split.
  ASSERT_TRUE(WaitUntil([&] { return Clock::now() >= ircds.QuickRelinkFrom(); }, 15000));
  PlainIrcClient warden(ircds.FirstPort());
  ASSERT_TRUE(warden.Register(LinkedIrcds::kOperatorName, IrcdFixture::kPassword));
  ASSERT_TRUE(warden.SendLine(std::string("OPER ") + LinkedIrcds::kOperatorName + " " +
                              LinkedIrcds::kOperatorPassword));
  ASSERT_TRUE(warden.WaitForReply({"381"})) << ircds.Logs();
  ASSERT_TRUE(warden.SendLine(std::string("SQUIT ") + LinkedIrcds::kSecondName + " :drill"));

  // The server sends the QUITs before the message that follows the SQUIT: once the
  // message is shown, the window has been told of the whole split.
  ASSERT_TRUE(warden.SendLine("PRIVMSG Tolvex :split done"));
  ASSERT_TRUE(WaitUntil([&] { return Contains(ChatEntries(), "warden |split done"); }, 10000))
      << ircds.Logs();
  EXPECT_EQ(Names(), alone);

  ASSERT_TRUE(WaitUntil([&] { return Names() == everyone; }, 30000))
      << Names().size() << " names listed\n"
      << ircds.Logs();
  // Whatever the relink sends the window reaches it before this message.
  ASSERT_TRUE(far_users.back().SendLine("PRIVMSG #beginner :back again"));
  ASSERT_TRUE(WaitUntil(
      [&] { return Contains(ChatEntries(), FarNick(kFarUsers - 1) + " |back again"); }, 10000));
  EXPECT_EQ(Names(), everyone);
}

}  // namespace
}  // namespace unit1
