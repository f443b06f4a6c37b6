// What the window shows of the server's lines and what it answers by itself,
// against the scripted server.
#include <QCheckBox>

#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

TEST_F(FormTest, PingIsAnsweredWithItsTokenAndNothingElse) {
  Register();
  EXPECT_EQ(Deliver({"PING :irc.test 12345", "PING :a\nJOIN #elsewhere"}),
            (Lines{"PONG irc.test 12345", "PONG a"}));
  EXPECT_EQ(form_.Memo1->toPlainText(), "");
}

TEST_F(FormTest, JoinAndPartFollowTheStateTable) {
  Register();
  Deliver({":irc.test 375 Tolvex :- irc.test Message of the day -",
           ":irc.test 376 Tolvex :End of MOTD command"});
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_EQ(LogLines(), (Lines{"- irc.test Message of the day -", ""}));

  Type(form_.ircChannel, "test");
  Click(form_.btnJoin);
  EXPECT_EQ(Deliver({}), Lines{"JOIN #test"});
  EXPECT_FALSE(form_.ircChannel->isEnabled());
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_FALSE(form_.btnPart->isEnabled());

  Deliver({":alice!a@host JOIN :#test"});
  EXPECT_TRUE(form_.btnJoin->isEnabled()) << "another user's join";
  Deliver({":Tolvex!q@host JOIN :#test"});
  EXPECT_FALSE(form_.btnJoin->isEnabled());
  EXPECT_TRUE(form_.btnPart->isEnabled());

  Click(form_.btnPart);
  EXPECT_EQ(Deliver({}), Lines{"PART #test"});
  EXPECT_TRUE(form_.btnPart->isEnabled()) << "the server's answer moves the controls";

  Deliver({":irc.test 353 Tolvex = #test :Tolvex alice"});
  ASSERT_EQ(Names().size(), 2u);
  Deliver({":Tolvex!q@host PART #test :bye"});
  EXPECT_EQ(Names(), Lines{});
  EXPECT_TRUE(form_.btnJoin->isEnabled());
  EXPECT_FALSE(form_.btnPart->isEnabled());
  EXPECT_TRUE(form_.ircChannel->isEnabled());
}

TEST_F(FormTest, NamesListFollowsTheNamesEvents) {
  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :Tolvex carol bob", ":irc.test 366 Tolvex :End"});
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
}

TEST_F(FormTest, ChatListKeepsTheNewest201Entries) {
  JoinChannel();
  Lines lines;
  for (int i = 0; i < 202; ++i) {
    lines.push_back(":alice!a@h PRIVMSG #beginner :" + std::to_string(i));
  }
  Deliver(lines);
  const Lines entries = ChatEntries();
  ASSERT_EQ(entries.size(), 201u);
  EXPECT_EQ(entries.front(), "alice |1");
  EXPECT_EQ(entries.back(), "alice |201");
  // The newest entry is scrolled into view.
  const toolkit::TRect last = form_.ilbChat->ItemRect(200);
  EXPECT_LE(last.Bottom, form_.ilbChat->viewport()->height());
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    JoinChannel();
    // Of someone else: only the log line.
    std::string other = c.line;
    other.replace(other.find("Tolvex"), 6, "bob");
    std::string other_log = c.log;
    other_log.replace(other_log.find("Tolvex"), 6, "bob");
    EXPECT_EQ(Deliver({other}), Lines{});
    EXPECT_EQ(LogLines().back(), other_log);

    server_.SendLine(c.line);
    EXPECT_EQ(NextLine(), c.quit);
    EXPECT_TRUE(WaitUntil([&] { return form_.btnConnect->text() == "&Connect"; }));
    EXPECT_TRUE(server_.WaitForNoClient());
    EXPECT_EQ(LogLines().back(), c.log);
    EXPECT_FALSE(form_.btnPart->isEnabled());
    form_.ircChannel->setEnabled(true);
  }
}

}  // namespace
}  // namespace unit1
