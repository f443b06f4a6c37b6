// When the Join and Part buttons become usable, whose PART counts as the user's
// own, and where the keyboard focus goes after Join.
#include <QApplication>

#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

TEST_F(FormTest, MissingMessageOfTheDayEndsRegistrationToo) {
  Register();
  Deliver({":irc.test 422 Tolvex :MOTD File is missing"});
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_EQ(LogLines(), Lines{"MOTD File is missing"});
}

TEST_F(FormTest, PartOfANicknameThatOnlyBeginsWithTheUsersIsSomeoneElses) {
  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :Tolvex Tolvex_ TolvexBot"});
  Deliver({":Tolvex_!q@host PART #beginner", ":TolvexBot!q@host PART #beginner :bye"});
  EXPECT_EQ(Names(), Lines{"Tolvex"});
  EXPECT_FALSE(form_.btnJoin->isEnabled());
  EXPECT_TRUE(form_.btnPart->isEnabled());
  EXPECT_FALSE(form_.ircChannel->isEnabled());

  Deliver({":Tolvex!q@host PART #beginner"});
  EXPECT_EQ(Names(), Lines{});
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_FALSE(form_.btnPart->isEnabled());
}

// The server closed the connection while the user was on the channel; after
// Connect and Join, everyone in the names reply is listed again, not only the
// names that changed meanwhile.
TEST_F(FormTest, RejoinAfterTheServerClosedListsEveryoneAgain) {
  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :alice Tolvex bob"});
  server_.CloseClient();
  ASSERT_TRUE(WaitUntil([&] { return form_.btnConnect->text() == "&Connect"; }));

  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :alice Tolvex bob carol"});
  EXPECT_EQ(Names(), (Lines{"alice", "bob", "carol", "Tolvex"}));
}

TEST_F(FormTest, AfterJoinTheFocusIsInTheMessageEntry) {
  JoinChannel();
  ASSERT_FALSE(form_.btnJoin->isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), form_.Edit1);
}

}  // namespace
}  // namespace unit1
