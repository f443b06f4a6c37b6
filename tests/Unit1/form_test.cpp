// The main window's controls, its connection cycle, its entry lines and its
// report of uncaught exceptions, against the scripted server.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "Unit1/exception_report.h"
#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

bool IsIdle(const TForm1& form) {
  return form.btnConnect->text() == "&Connect" && form.ircServer->isEnabled() &&
         form.ircPort->isEnabled() && !form.btnJoin->isEnabled() && !form.btnPart->isEnabled();
}

TEST_F(FormTest, OpensIdleWithTheStoredSettingsAndTabOrder) {
  EXPECT_TRUE(IsIdle(form_));
  EXPECT_TRUE(form_.ircChannel->isEnabled());
  EXPECT_EQ(form_.ircServer->text(), "irc.oftc.net");
  EXPECT_EQ(form_.ircPort->text(), "7000");
  EXPECT_EQ(form_.ircChannel->text(), "#beginner");
  EXPECT_EQ(form_.Memo1->toPlainText(), "");
  EXPECT_EQ(QApplication::focusWidget(), form_.btnConnect);

  // Tab from the Connect button runs through the top row, the names, the chat
  // list, the log pane and the entry lines back to it.
  const QWidget* expected[] = {form_.ircServer, form_.ircPort, form_.cbTls, form_.ircChannel,
                               form_.cbnew,     form_.cbdel,   form_.cbcng, form_.lbNames,
                               form_.ilbChat,   form_.Memo1,   form_.Edit1, form_.Edit2,
                               form_.btnConnect};
  for (const QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
  }
}

// However wide the window, the entry lines fill the message panel up to a small
// margin, without running under its right edge or over the labels.
TEST_F(FormTest, EntryLinesFillTheMessagePanelAtAnyWidth) {
  for (const int width : {500, 900}) {
    SCOPED_TRACE(width);
    form_.resize(width, form_.height());
    ASSERT_TRUE(WaitUntil([&] { return form_.pnlMessage->width() == width; }));
    for (const QWidget* entry : {form_.Edit1, form_.Edit2}) {
      const QRect area = entry->geometry();
      EXPECT_TRUE(form_.pnlMessage->rect().contains(area));
      EXPECT_GT(area.left(), form_.Label2->geometry().right());
      EXPECT_LE(width - area.right(), 10);
    }
  }
}

TEST_F(FormTest, RegistersWithAndWithoutPassword) {
  struct Case {
    const char* password;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"Mossel", {"PASS Mossel", "NICK Tolvex", "USER Tolvex X Y :Quillamore"}},
      {"", {"NICK Tolvex", "USER Tolvex X Y :Quillamore"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password);
    form_.Identity.Password = c.password;
    form_.Memo1->setPlainText("left from before");
    ConnectTo(server_.Port());
    EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
    ASSERT_TRUE(WaitUntil([&] { return server_.HasClient(); }));
    EXPECT_FALSE(form_.ircServer->isEnabled());
    EXPECT_EQ(Deliver({}), c.lines);
    EXPECT_EQ(form_.Memo1->toPlainText(), "") << "a connection empties the log pane";
    EXPECT_FALSE(form_.btnJoin->isEnabled());
    Click(form_.btnConnect);
    EXPECT_TRUE(IsIdle(form_));
    ASSERT_TRUE(server_.WaitForNoClient());
  }
}

TEST_F(FormTest, RefusedConnectionAndDisconnectReturnToIdle) {
  ConnectTo(testsupport::ScriptedServer::RefusedPort());
  EXPECT_TRUE(WaitUntil([&] { return IsIdle(form_); }));

  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :Tolvex alice"});
  server_.CloseClient();
  EXPECT_TRUE(WaitUntil([&] { return IsIdle(form_); }));
  // The channel field and the names stay as they were.
  EXPECT_FALSE(form_.ircChannel->isEnabled());
  EXPECT_EQ(Names(), (std::vector<std::string>{"alice", "Tolvex"}));

  // A line typed while idle is not sent with the next connection.
  Type(form_.Edit2, "WHOIS stale");
  PressReturn(form_.Edit2);
  ConnectTo(server_.Port());
  EXPECT_EQ(NextLine(), "PASS Mossel");
  EXPECT_EQ(server_.ClientsAccepted(), 2u);
}

TEST_F(FormTest, EntryLinesSendWhatWasTyped) {
  Register();
  Type(form_.Edit1, "hello");
  PressReturn(form_.Edit1);
  EXPECT_EQ(form_.Edit1->text(), "");
  form_.Edit1->setText(QString::fromUtf8("d\xC3\xA9j\xC3\xA0 vu"));
  PressReturn(form_.Edit1);
  QTest::keyClick(form_.Edit1, Qt::Key_A);  // not Return: nothing is sent
  Type(form_.Edit2, "WHOIS alice");
  PressReturn(form_.Edit2);
  EXPECT_EQ(form_.Edit2->text(), "");
  PressReturn(form_.Edit2);
  // A line break that reaches the field does not start a second command.
  form_.Edit2->setText("NICK other\r\nQUIT :gone");
  QTest::keyClick(form_.Edit2, Qt::Key_Enter);
  EXPECT_EQ(Deliver({}),
            (std::vector<std::string>{"PRIVMSG #beginner,Tolvex :hello",
                                      "PRIVMSG #beginner,Tolvex :d\xC3\xA9j\xC3\xA0 vu",
                                      "WHOIS alice", "", "NICK other"}));
}

// A connect that fails in a handler reaches the exception report with its
// message; Cancel then returns to idle and the next connect works.
TEST_F(FormTest, AFailedConnectIsReportedAndTheWindowStaysUsable) {
  form_.ircServer->clear();
  Click(form_.btnConnect);
  EXPECT_EQ(errors_, std::vector<std::string>{"No address specified"});
  errors_.clear();
  EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
  Click(form_.btnConnect);
  EXPECT_TRUE(IsIdle(form_));
  Register();
}

TEST_F(FormTest, ReportShowsTheMessageInAMessageBox) {
  InstallExceptionReport(&form_);
  QString shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  closer.start(10);
  winsys::Application().HandleException(std::runtime_error("Error 10061 connecting"));
  EXPECT_EQ(shown, "Error 10061 connecting");
}

}  // namespace
}  // namespace unit1
