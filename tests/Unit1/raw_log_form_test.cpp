// The raw log in the window: what crossed the connection, both ways, in order,
// the window's notes among it, the pane that shows it, and what the user does
// with it: save it, clear it, and send exact bytes from its Send
// bytes entry.
#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

#include "Unit1/raw_log_pane.h"
#include "tests/Unit1/form_fixture.h"
#include "transport/buffered_socket.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using namespace std::string_literals;
using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

class RawLogFormTest : public FormTest {
 protected:
  QLineEdit* SendBytesEntry() const { return form_.pnlRawLog->SendBytes(); }
  void SendBytes(const QString& text) { Enter(SendBytesEntry(), text); }
  bool SaveEnded() const { return form_.SaveRawLog1->isEnabled(); }
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

TEST_F(RawLogFormTest, PaneIsHiddenUntilAskedForShowsTheLogAndClearsIt) {
  EXPECT_FALSE(form_.pnlRawLog->isVisible());
  QTest::keyClick(&form_, Qt::Key_R, Qt::ControlModifier);
  ASSERT_TRUE(form_.pnlRawLog->isVisible());
  Register();
  Deliver({});
  TRawLogView* view = form_.pnlRawLog->View();
  ASSERT_TRUE(WaitUntil([&] { return view->Count() == int(form_.RawLog.Size()); }));
  EXPECT_EQ(view->ItemText(view->Count() - 1).substr(12), " > PONG sync");

  QTest::keyClicks(form_.pnlRawLog->Filter(), "nick");
  ASSERT_EQ(view->Count(), 1);
  EXPECT_EQ(view->ItemText(0).substr(12), " > NICK Tolvex");
  form_.pnlRawLog->Filter()->clear();
  // Clear, from the menu or the view's own menu, empties the log and says so.
  for (QAction* clear : {form_.ClearRawLog1, view->ContextMenu()->findChild<QAction*>("Clear")}) {
    ASSERT_NE(clear, nullptr);
    clear->trigger();
    EXPECT_EQ(form_.RawLog.Size(), 1u);
    EXPECT_EQ(Raw().back(), "- Raw log cleared");
    ASSERT_TRUE(WaitUntil([&] { return view->Count() == 1; }));
    EXPECT_TRUE(view->ItemText(0).ends_with(" - Raw log cleared"));
  }
  Deliver({});
  EXPECT_EQ(Raw().back(), "> PONG sync") << "the log goes on after a clear";
  form_.RawLog1->trigger();
  EXPECT_FALSE(form_.pnlRawLog->isVisible());
}

TEST_F(RawLogFormTest, SavesTheLinesTheFilterShowsAndTheDialogSaysSo) {
  Register();
  Deliver({R"(:irc.test NOTICE Tolvex :C:\x41)"});
  form_.pnlRawLog->Filter()->setText("notice");
  form_.SaveRawLog1->trigger();
  QFileDialog* dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = form_.findChild<QFileDialog*>()) != nullptr; }));
  const QString says = QString::fromUtf8("only the 1 of %1 lines that hold “notice”");
  EXPECT_TRUE(dialog->windowTitle().contains(says.arg(form_.RawLog.Size())))
      << dialog->windowTitle().toStdString();
  dialog->reject();

  QTemporaryDir dir;
  const QString path = dir.filePath("raw.log");
  form_.SaveRawLog(path);
  EXPECT_FALSE(SaveEnded()) << "the file is written while the window goes on";
  ASSERT_TRUE(WaitUntil([&] { return SaveEnded(); }));
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().endsWith(R"( < :irc.test NOTICE Tolvex :C:\\x41)"
                                       "\n"));
  EXPECT_EQ(LogLines().back(), "Raw log saved to " + path.toStdString() + " (1 line)");

  // A file that cannot be written is told, and the log stays as it was.
  const std::size_t lines = form_.RawLog.Size();
  const QString missing = dir.filePath("missing/raw.log");
  form_.SaveRawLog(missing);
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = form_.findChild<QMessageBox*>()) != nullptr; }));
  EXPECT_TRUE(box->text().contains(missing));
  EXPECT_TRUE(SaveEnded());
  EXPECT_EQ(form_.RawLog.Size(), lines);
  box->close();
}

// Each row is sent on its own; the server cuts what it reads at CR LF only. How
// each escape reads, and which is the first bad one, is in parts_test.cpp.
TEST_F(RawLogFormTest, SendBytesSendsExactlyWhatTheEscapesSayAndPartsJoinUp) {
  Register();
  EXPECT_EQ(form_.pnlRawLog->SendBytesLabel()->buddy(), SendBytesEntry());
  const struct {
    QString typed;
    std::string wire;
  } cases[] = {
      {R"(A\tB\0C\\D bare\rCR bare\nLF \x41\xff\xFE\x7f\r\n)",
       "A\tB\0C\\D bare\rCR bare\nLF A\xFF\xFE\x7F"s},
      {QString::fromUtf8("caf\xC3\xA9\\r\\n"), "caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SendBytes(c.typed);
    EXPECT_EQ(NextLine(), c.wire) << c.typed.toStdString();
    EXPECT_EQ(SendBytesEntry()->text().toStdString(), "");
    EXPECT_EQ(Raw().back(), "= " + c.wire + "\r\n");
  }

  const struct {
    QString typed;
    std::string told;
  } bad[] = {
      {R"(PING \q\r\n)", R"(Bytes not sent: unknown escape \q at column 6)"},
      {R"(PING \x4\r\n)",
       R"(Bytes not sent: malformed escape \x4 at column 6 (\x takes two hex digits))"},
      {R"(PING \)", R"(Bytes not sent: a lone \ at the end (\\ sends a backslash))"},
      {QString(6000, 'x'), "Bytes not sent: too long for the write buffer (6000 of 5120 bytes)"},
  };
  for (const auto& c : bad) {
    SendBytes(c.typed);
    EXPECT_EQ(SendBytesEntry()->text(), c.typed) << "kept to be mended";
    EXPECT_EQ(LogLines().back(), c.told);
  }
  EXPECT_EQ(Deliver({}), std::vector<std::string>{}) << "nothing of them went out";

  // Two partial sends are one line, and come back with Up.
  SendBytes("PRIVMSG #beginner :he");
  const auto& socket =
      static_cast<const transport::TBufferedSocketBase&>(*form_.IRCClient->Socket());
  EXPECT_EQ(socket.WriteCount(), 0) << "the first part went out on its own";
  EXPECT_EQ(Raw().back(), "= PRIVMSG #beginner :he");
  SendBytes(R"(llo\r\n)");
  EXPECT_EQ(NextLine(), "PRIVMSG #beginner :hello");
  EXPECT_FALSE(server_.HasLine());

  QTest::keyClick(SendBytesEntry(), Qt::Key_Up);
  EXPECT_EQ(SendBytesEntry()->text().toStdString(), R"(llo\r\n)");
  QTest::keyClick(SendBytesEntry(), Qt::Key_Up);
  EXPECT_EQ(SendBytesEntry()->text().toStdString(), "PRIVMSG #beginner :he");
}

}  // namespace
}  // namespace unit1
