// The raw log in the window: what crossed the connection, both ways, in order,
// the window's notes among it, the pane that shows it, and CTCP messages.
#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>

#include "Unit1/raw_log_pane.h"
#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using Lines = std::vector<std::string>;

class RawLogFormTest : public FormTest {
 protected:
  // The log's lines from `first` on, as direction and bytes.
  Lines Raw(std::uint64_t first = 0) const {
    Lines lines;
    const TRawLog& log = form_.RawLog;
    for (std::uint64_t n = std::max(first, log.FirstNumber()); n < log.EndNumber(); ++n) {
      lines.push_back(std::string(1, char(log.Line(n).Direction)) + " " +
                      std::string(log.Line(n).Bytes));
    }
    return lines;
  }
};

TEST_F(RawLogFormTest, RecordsBothWaysInOrderWithTheirTimes) {
  const std::int64_t before = QDateTime::currentMSecsSinceEpoch();
  Register();
  const std::string port = std::to_string(server_.Port());
  Deliver({":irc.test 376 Tolvex :End of MOTD", ":irc.test NOTICE Tolvex :\x02hi\x02"});
  Type(form_.Edit2, "MODE #beginner +t");
  PressReturn(form_.Edit2);
  ASSERT_EQ(NextLine(), "MODE #beginner +t");
  EXPECT_EQ(Raw(),
            (Lines{"- Connecting to 127.0.0.1 port " + port, "- Connected", "> PASS Mossel",
                   "> NICK Tolvex", "> USER Tolvex X Y :Quillamore",
                   "< :irc.test 376 Tolvex :End of MOTD", "< :irc.test NOTICE Tolvex :\x02hi\x02",
                   "< PING :sync", "> PONG sync", "> MODE #beginner +t"}));
  const TRawLog& log = form_.RawLog;
  for (std::uint64_t n = log.FirstNumber(); n < log.EndNumber(); ++n) {
    EXPECT_GE(log.Line(n).Time, n == 0 ? before : log.Line(n - 1).Time) << n;
  }
  EXPECT_LE(log.Line(log.EndNumber() - 1).Time, QDateTime::currentMSecsSinceEpoch());

  // A new connection is marked, and what came before stays.
  Click(form_.btnConnect);
  Register();
  EXPECT_EQ(Raw(10).front(), "- Cancelled");
  EXPECT_EQ(Raw(11).front(), "- Connecting to 127.0.0.1 port " + port);
  EXPECT_EQ(Raw().front(), "- Connecting to 127.0.0.1 port " + port);
}

TEST_F(RawLogFormTest, NotesWhatWasDroppedOrNotSent) {
  Type(form_.Edit2, "WHOIS alice");
  PressReturn(form_.Edit2);
  EXPECT_EQ(Raw(), Lines{"- Not sent (not connected): WHOIS alice"});

  Register();
  const std::uint64_t first = form_.RawLog.EndNumber();
  server_.Send(std::string(6000, 'x') + "\r\n");
  Deliver({});
  form_.Edit1->setText(QString(10000, 'm'));
  PressReturn(form_.Edit1);
  const Lines raw = Raw(first);
  ASSERT_EQ(raw.size(), 4u);
  EXPECT_EQ(raw[0], "- Over-long line dropped: 6000 bytes");
  EXPECT_EQ(raw[1], "< PING :sync");
  EXPECT_EQ(raw[3].substr(0, 71),
            "- Not sent (too long for the write buffer (10028 of 5120 bytes)): PRIVM");

  ASSERT_TRUE(server_.CloseClient());
  ASSERT_TRUE(testsupport::WaitUntil([&] { return form_.ircServer->isEnabled(); }));
  EXPECT_EQ(Raw().back(), "- Disconnected");
}

TEST_F(RawLogFormTest, PaneIsHiddenUntilAskedForAndShowsTheLog) {
  EXPECT_FALSE(form_.pnlRawLog->isVisible());
  EXPECT_EQ(form_.RawLog1->text(), "Raw log");
  EXPECT_EQ(form_.RawLog1->shortcut(), QKeySequence("Ctrl+R"));
  QTest::keyClick(&form_, Qt::Key_R, Qt::ControlModifier);
  ASSERT_TRUE(form_.pnlRawLog->isVisible());
  Register();
  Deliver({});
  TRawLogView* view = form_.pnlRawLog->View();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return view->Count() == int(form_.RawLog.Size()); }));
  EXPECT_EQ(view->ItemText(view->Count() - 1).substr(12), " > PONG sync");

  QTest::keyClicks(form_.pnlRawLog->Filter(), "nick");
  ASSERT_EQ(view->Count(), 1);
  EXPECT_EQ(view->ItemText(0).substr(12), " > NICK Tolvex");
  form_.RawLog1->trigger();
  EXPECT_FALSE(form_.pnlRawLog->isVisible());
}

TEST_F(RawLogFormTest, CtcpShowsAsClientsShowIt) {
  form_.cbnew->setChecked(false);
  JoinChannel();
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
  EXPECT_EQ(sent, Lines{}) << "the client answers no CTCP request";
  EXPECT_EQ(ChatEntries(), (Lines{"*|bob waves at everyone", "*|bob shrugs", "bob |\x01"}));
  EXPECT_EQ(LogLines(), (Lines{"CTCP VERSION from bob", "CTCP PING from bob: 1234",
                               "CTCP VERSION reply from bob: test client 1.0"}));
}

}  // namespace
}  // namespace unit1
