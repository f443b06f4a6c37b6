// What the window shows of the server's lines and what it answers by itself,
// against the scripted server: when the Join and Part buttons become usable,
// whose PART counts as the user's own, and how messages, notices and CTCP show.
#include <QCheckBox>

#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using Lines = std::vector<std::string>;

TEST_F(FormTest, JoinAndPartFollowTheStateTable) {
  Register();
  // PING is answered with its token and nothing else.
  EXPECT_EQ(Deliver({"PING :irc.test 12345", "PING :a\nJOIN #elsewhere"}),
            (Lines{"PONG irc.test 12345", "PONG a"}));
  EXPECT_EQ(form_.Memo1->toPlainText(), "");
  Deliver({":irc.test 375 Tolvex :- irc.test Message of the day -",
           ":irc.test 376 Tolvex :End of MOTD command"});
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_EQ(LogLines(), (Lines{"- irc.test Message of the day -", ""}));

  Type(form_.ircChannel, "test");
  Click(form_.btnJoin);
  EXPECT_EQ(Deliver({}), Lines{"JOIN #test"});
  EXPECT_EQ(Usable(), "join ");

  Deliver({":alice!a@host JOIN :#test"});
  EXPECT_EQ(Usable(), "join ") << "another user's join";
  Deliver({":Tolvex!q@host JOIN :#test"});
  EXPECT_EQ(Usable(), "part ");

  Click(form_.btnPart);
  EXPECT_EQ(Deliver({}), Lines{"PART #test"});
  EXPECT_TRUE(form_.btnPart->isEnabled()) << "the server's answer moves the controls";

  // A nickname that only begins with the user's is someone else's.
  Deliver({":irc.test 353 Tolvex = #test :Tolvex alice Tolvex_ TolvexBot"});
  Deliver({":Tolvex_!q@host PART #test", ":TolvexBot!q@host PART #test :bye"});
  EXPECT_EQ(Names(), (Lines{"alice", "Tolvex"}));
  EXPECT_EQ(Usable(), "part ");
  Deliver({":Tolvex!q@host PART #test :bye"});
  EXPECT_EQ(Names(), Lines{});
  EXPECT_EQ(Usable(), "join channel ");
}

TEST_F(FormTest, MissingMessageOfTheDayEndsRegistrationToo) {
  Register();
  Deliver({":irc.test 422 Tolvex :MOTD File is missing"});
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_EQ(LogLines(), Lines{"MOTD File is missing"});
}

TEST_F(FormTest, NamesListFollowsTheNamesEvents) {
  JoinChannel();
  // A reply typed for by the user lists the user first again: each name
  // still shows once.
  for (int reply = 0; reply < 2; ++reply) {
    Deliver({":irc.test 353 Tolvex = #beginner :Tolvex carol bob", ":irc.test 366 Tolvex :End"});
  }
  EXPECT_EQ(Names(), (Lines{"bob", "carol", "Tolvex"}));
  EXPECT_EQ(ChatEntries(), Lines{});

  // With every check box off the names still change, without chat entries.
  form_.cbdel->setChecked(false);
  Deliver({":alice!a@h JOIN :#beginner", ":bob!b@h PART #beginner :bye", ":carol!c@h NICK :dave"});
  EXPECT_EQ(Names(), (Lines{"alice", "dave", "Tolvex"}));
  EXPECT_EQ(ChatEntries(), Lines{});

  QTest::mouseClick(form_.cbnew, Qt::LeftButton, {}, QPoint(4, 8));
  form_.cbdel->setChecked(true);
  form_.cbcng->setChecked(true);
  Deliver({":erin!e@h JOIN :#beginner", ":alice!a@h QUIT :gone", ":dave!d@h NICK zed",
           ":nobody!n@h QUIT :never listed"});
  // A renamed entry keeps its place.
  EXPECT_EQ(Names(), (Lines{"zed", "erin", "Tolvex"}));
  EXPECT_EQ(ChatEntries(), (Lines{"New:|erin", "Leave:|alice", "Change:|dave zed"}));
}

TEST_F(FormTest, MessagesBecomeChatEntriesAndNoticesLogLines) {
  JoinChannel();
  Deliver({":alice!a@host PRIVMSG #beginner :hi there", ":irc.test PRIVMSG Tolvex :a|b",
           ":irc.test NOTICE Tolvex :caf\xE9 au lait", ":alice!a@host INVITE Tolvex :#other",
           "ERROR :Closing link"});
  EXPECT_EQ(ChatEntries(), (Lines{"alice |hi there", "|a|b"}));
  // Bytes that are no UTF-8 are shown as Windows-1252; the first line is the
  // empty text of the 376 reply.
  EXPECT_EQ(LogLines(), (Lines{"", "caf\xC3\xA9 au lait", "INVITE <alice (a@host INVITE> #other",
                               "ERROR < ERROR> Closing link"}));
  // CTCP shows as other clients show it, and the client answers no request.
  form_.Memo1->clear();
  const Lines sent = Deliver({
      ":bob!b@host PRIVMSG #beginner :\x01"
      "ACTION waves at everyone\x01",
      ":bob!b@host PRIVMSG #beginner :\x01"
      "ACTION shrugs",
      ":bob!b@host PRIVMSG Tolvex :\x01VERSION\x01",
      ":bob!b@host PRIVMSG Tolvex :\x01PING 1234\x01",
      ":bob!b@host NOTICE Tolvex :\x01VERSION test client 1.0\x01",
      ":bob!b@host PRIVMSG #beginner :\x01",
  });
  EXPECT_EQ(sent, Lines{});
  EXPECT_EQ(ChatEntries(), (Lines{"alice |hi there", "|a|b", "*|bob waves at everyone",
                                  "*|bob shrugs", "bob |\x01"}));
  EXPECT_EQ(LogLines(), (Lines{"CTCP VERSION from bob", "CTCP PING from bob: 1234",
                               "CTCP VERSION reply from bob: test client 1.0"}));
}

TEST_F(FormTest, BanKickOrKillOfTheUserQuitsAndReturnsToIdle) {
  struct Case {
    std::string line;
    std::string log;
    std::string quit;
  };
  const Case cases[] = {
      {":op!o@h KICK #beginner Tolvex :bye now", "KICK <Tolvex> :byenow",
       "QUIT :Kicked off channel"},
      {":irc.test 465 * Tolvex :banned", "BANN <Tolvex> :banned",
       "QUIT :Banned from channel or server"},
      {":oper!o@h KILL #beginner Tolvex :go away", "KILL <Tolvex> :goaway",
       "QUIT :Killed from Channel or Server"},
  };
  const auto of_bob = [](std::string text) { return text.replace(text.find("Tolvex"), 6, "bob"); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    JoinChannel();
    // Of someone else: only the log line.
    EXPECT_EQ(Deliver({of_bob(c.line)}), Lines{});
    EXPECT_EQ(LogLines().back(), of_bob(c.log));

    server_.SendLine(c.line);
    EXPECT_EQ(NextLine(), c.quit);
    EXPECT_TRUE(BackAtConnect());
    EXPECT_TRUE(server_.WaitForNoClient());
    EXPECT_EQ(LogLines().back(), c.log);
    EXPECT_FALSE(form_.btnPart->isEnabled());
    form_.ircChannel->setEnabled(true);
  }
}

}  // namespace
}  // namespace unit1
