// The main window's controls, its connection cycle, its entry lines and their
// keys, what it tells assistive technology and its report of uncaught
// exceptions, against the scripted server; and the user who does not wait: a
// second press of Connect, Cancel and File > Exit while the window waits for a
// look-up, which the socket library holds back.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

#include "Unit1/exception_report.h"
#include "platform/toolkit/accessibility_events.h"
#include "tests/Unit1/form_fixture.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

QAccessibleInterface* Accessible(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget);
}

TEST_F(FormTest, OpensIdleWithTheStoredSettingsAndTabOrder) {
  EXPECT_TRUE(IsIdle());
  EXPECT_TRUE(form_.ircChannel->isEnabled());
  EXPECT_EQ(form_.ircServer->text(), "irc.oftc.net");
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

TEST_F(FormTest, EveryControlHasAnAccessibleName) {
  // The raw log's controls count too.
  form_.RawLog1->setChecked(true);
  ExpectNamedControls(form_);
  // The roles are the toolkit's and Qt's own.
  const std::pair<QWidget*, const char*> names[] = {
      {form_.ircServer, "Server"}, {form_.ircPort, "Port"},   {form_.ircChannel, "Channel"},
      {form_.Edit1, "Message"},    {form_.Edit2, "Commands"}, {form_.ilbChat, "Chat"},
      {form_.lbNames, "Names"},    {form_.Memo1, "Log"}};
  for (const auto& [control, name] : names) {
    EXPECT_EQ(Accessible(control)->text(QAccessible::Name), name);
  }
  // The labels stand for their lines: Alt with the underlined letter goes there.
  EXPECT_EQ(form_.Label1->buddy(), form_.Edit1);
  EXPECT_EQ(form_.Label2->buddy(), form_.Edit2);
}

// A connection empties the log pane and locks the server fields until Cancel.
TEST_F(FormTest, ConnectLocksTheServerFieldsUntilCancel) {
  form_.Identity.Password = "";
  form_.Memo1->setPlainText("left from before");
  ConnectTo(server_.Port());
  EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
  ASSERT_TRUE(WaitUntil([&] { return server_.HasClient(); }));
  EXPECT_FALSE(form_.ircServer->isEnabled());
  EXPECT_EQ(Deliver({}), (Lines{"NICK Tolvex", "USER Tolvex X Y :Quillamore"}));
  EXPECT_EQ(form_.Memo1->toPlainText(), "");
  EXPECT_FALSE(form_.btnJoin->isEnabled());
  Click(form_.btnConnect);
  EXPECT_TRUE(IsIdle());
}

// After a refused connection or the server's close the window is idle again;
// the channel field and the names stay, a line typed meanwhile is not sent with
// the next connection, and the next join lists everyone again.
TEST_F(FormTest, RefusedConnectionAndDisconnectReturnToIdle) {
  ConnectTo(testsupport::ScriptedServer::RefusedPort());
  EXPECT_TRUE(WaitUntil([&] { return IsIdle(); }));

  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :Tolvex alice bob"});
  server_.CloseClient();
  EXPECT_TRUE(WaitUntil([&] { return IsIdle(); }));
  EXPECT_FALSE(form_.ircChannel->isEnabled());
  EXPECT_EQ(Names(), (Lines{"alice", "bob", "Tolvex"}));
  EXPECT_EQ(Raw().back(), "- Disconnected");

  Enter(form_.Edit2, "WHOIS stale");
  ConnectTo(server_.Port());
  ASSERT_TRUE(WaitUntil([&] { return server_.HasClient(); }));
  EXPECT_EQ(Deliver({}), (Lines{"PASS Mossel", "NICK Tolvex", "USER Tolvex X Y :Quillamore"}));
  EXPECT_EQ(server_.ClientsAccepted(), 2u);
  Deliver({":irc.test 376 Tolvex :End of MOTD"});
  Click(form_.btnJoin);
  ASSERT_EQ(NextLine(), "JOIN #beginner");
  Deliver(
      {":Tolvex!q@host JOIN :#beginner", ":irc.test 353 Tolvex = #beginner :alice Tolvex carol"});
  EXPECT_EQ(Names(), (Lines{"alice", "carol", "Tolvex"}));
}

TEST_F(FormTest, EntryLinesSendWhatWasTyped) {
  Register();
  Type(form_.Edit1, "hello");
  PressReturn(form_.Edit1);
  EXPECT_EQ(form_.Edit1->text(), "");
  Enter(form_.Edit1, QString::fromUtf8("d\xC3\xA9j\xC3\xA0 vu"));
  QTest::keyClick(form_.Edit1, Qt::Key_A);  // not Return: nothing is sent
  Type(form_.Edit2, "WHOIS alice");
  PressReturn(form_.Edit2);
  EXPECT_EQ(form_.Edit2->text(), "");
  PressReturn(form_.Edit2);
  // A line break that reaches the field does not start a second command.
  form_.Edit2->setText("NICK other\r\nQUIT :gone");
  QTest::keyClick(form_.Edit2, Qt::Key_Enter);
  EXPECT_EQ(Deliver({}), (Lines{"PRIVMSG #beginner,Tolvex :hello",
                                "PRIVMSG #beginner,Tolvex :d\xC3\xA9j\xC3\xA0 vu", "WHOIS alice",
                                "", "NICK other"}));
}

// Up and Down bring back the lines sent from that line only: one that was not
// sent is not kept. Tab completes a nickname from the names list, again the
// next one, and else moves on. How far the keys walk and what completes is in
// parts_test.cpp.
TEST_F(FormTest, EntryLineKeysBrowseTheSentLinesAndCompleteNicknames) {
  Enter(form_.Edit2, "WHOIS nobody");
  JoinChannel();
  EXPECT_EQ(QApplication::focusWidget(), form_.Edit1)
      << "Join leaves the focus in the message line";
  Deliver({":irc.test 353 Tolvex = #beginner :Tolvex @alice +alfred bob"});
  for (const char* line : {"first", "second"}) {
    Enter(form_.Edit1, line);
    ASSERT_EQ(NextLine(), "PRIVMSG #beginner,Tolvex :" + std::string(line));
  }
  Enter(form_.Edit2, "TOPIC #beginner");
  ASSERT_EQ(NextLine(), "TOPIC #beginner");

  const struct {
    QLineEdit* edit;
    const char* typed;  // null: the key on what is shown
    Qt::Key key;
    const char* shown;
  } steps[] = {
      {form_.Edit1, "draft", Qt::Key_Up, "second"},
      {form_.Edit1, nullptr, Qt::Key_Down, "draft"},
      {form_.Edit2, "", Qt::Key_Up, "TOPIC #beginner"},
      {form_.Edit2, nullptr, Qt::Key_Up, "TOPIC #beginner"},
      {form_.Edit1, "al", Qt::Key_Tab, "alfred: "},
      {form_.Edit1, nullptr, Qt::Key_Tab, "alice: "},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.shown);
    if (step.typed != nullptr) Type(step.edit, step.typed);
    QTest::keyClick(step.edit, step.key);
    EXPECT_EQ(step.edit->text(), step.shown);
    EXPECT_TRUE(step.key != Qt::Key_Tab || QApplication::focusWidget() == step.edit);
  }
  Type(form_.Edit1, "zed");
  QTest::keyClick(form_.Edit1, Qt::Key_Tab);
  EXPECT_EQ(form_.Edit1->text(), "zed");
  EXPECT_EQ(QApplication::focusWidget(), form_.Edit2);
}

TEST_F(FormTest, ChatEntriesAreReadByTheirRowsAndTheNewestIsAnnounced) {
  JoinChannel();
  std::vector<QString> announced;
  const toolkit::TAccessibilityListener previous =
      toolkit::SetAccessibilityListener([&](QAccessibleEvent& event) {
        QAccessibleInterface* about = event.accessibleInterface();
        if (about != nullptr && about->role() == QAccessible::Notification &&
            event.type() == QAccessible::NameChanged) {
          announced.push_back(about->text(QAccessible::Name));
        }
      });
  Deliver({":alice!a@host PRIVMSG #beginner :hello", ":bob!b@host PRIVMSG #beginner :hi alice"});
  QAccessibleInterface* chat = Accessible(form_.ilbChat);
  ASSERT_EQ(chat->childCount(), 2);
  EXPECT_EQ(chat->child(0)->text(QAccessible::Name), "alice: hello");
  EXPECT_EQ(chat->child(1)->text(QAccessible::Name), "bob: hi alice");
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
  // Both lines came in one read: one announcement, of the newest.
  EXPECT_TRUE(WaitUntil([&] { return !announced.empty(); }));
  EXPECT_EQ(announced.back(), "bob: hi alice");
#endif
  toolkit::SetAccessibilityListener(previous);
}

// A connect that fails in a handler reaches the exception report with its
// message, shown in a message box; Cancel then returns to idle and the next
// connect works.
TEST_F(FormTest, AFailedConnectIsReportedAndTheWindowStaysUsable) {
  form_.ircServer->clear();
  Click(form_.btnConnect);
  EXPECT_EQ(errors_, Lines{"No address specified"});
  errors_.clear();
  EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
  Click(form_.btnConnect);
  EXPECT_TRUE(IsIdle());
  Register();

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

// Every look-up's completion comes 500 ms later: long enough that a step queued
// for the next loop turn always runs inside the wait. Set before the window
// starts the socket library, which reads it then.
struct LookupDelay {
  LookupDelay() { setenv("WSOCK32_LOOKUP_DELAY_MS", "500", 1); }
  ~LookupDelay() { unsetenv("WSOCK32_LOOKUP_DELAY_MS"); }
};

class HeldLookupTest : private LookupDelay, public FormTest {
 protected:
  void TearDown() override {
    FormTest::TearDown();
    winsys::Application().ResetTerminated();
  }

  // Runs `step` on the next loop turn after the client starts to look up the
  // server's host name, that is inside that look-up's wait.
  void WhileResolvingHost(std::function<void()> step) {
    form_.IRCClient->OnInfo = [step](sockets::TSockCtrl&, sockets::TSockInfo code,
                                     sockets::TSocketBase*) {
      if (code == sockets::siLookUp) QTimer::singleShot(0, step);
    };
  }
};

TEST_F(HeldLookupTest, SecondPressDuringTheLookUpCancelsInsteadOfConnectingAgain) {
  // Queued before the press, so it comes while the port setter waits.
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(form_.btnConnect->text(), "&Cancel");
    Click(form_.btnConnect);
  });
  ConnectTo(server_.Port());
  EXPECT_TRUE(IsIdle());
  EXPECT_FALSE(form_.IRCClient->Connected());

  // The next attempt is the only connection the server sees.
  Register();
  EXPECT_EQ(server_.ClientsAccepted(), 1u);
}

TEST_F(HeldLookupTest, CancelDuringTheHostLookUpIsNoError) {
  WhileResolvingHost([&] { Click(form_.btnConnect); });
  ConnectTo(server_.Port(), "localhost");
  EXPECT_TRUE(IsIdle());
  EXPECT_FALSE(form_.IRCClient->Connected());
  EXPECT_FALSE(server_.HasClient());
}

TEST_F(HeldLookupTest, ExitDuringTheHostLookUpEndsTheProgramWithoutAnError) {
  bool gave_up = false;
  QTimer give_up;
  give_up.setSingleShot(true);
  QObject::connect(&give_up, &QTimer::timeout, [&] {
    gave_up = true;
    winsys::Application().Terminate();
  });
  give_up.start(5000);
  WhileResolvingHost([&] { form_.Exit1->trigger(); });
  QTimer::singleShot(0, [&] { ConnectTo(server_.Port(), "localhost"); });

  winsys::Application().Run();
  EXPECT_FALSE(gave_up) << "the loop did not end with the window";
  EXPECT_FALSE(form_.isVisible());
}

// Only the user's own giving up is quiet.
TEST_F(HeldLookupTest, UnknownHostIsStillReported) {
  ConnectTo(server_.Port(), "no-such-host.invalid");
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_NE(errors_[0].find("finding address for host"), std::string::npos) << errors_[0];
  errors_.clear();
}

}  // namespace
}  // namespace unit1
