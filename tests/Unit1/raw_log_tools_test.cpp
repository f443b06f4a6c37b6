// What the user does with the raw log in the window: save it, clear it, and
// send exact bytes from its Send bytes entry.
#include <QAction>
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

class RawLogToolsTest : public FormTest {
 protected:
  QLineEdit* SendBytesEntry() const { return form_.pnlRawLog->SendBytes(); }
  void SendBytes(const QString& text) {
    SendBytesEntry()->setText(text);
    PressReturn(SendBytesEntry());
  }
  std::string NewestRaw() const {
    const TRawLine line = form_.RawLog.Line(form_.RawLog.EndNumber() - 1);
    return char(line.Direction) + " "s + std::string(line.Bytes);
  }
  bool SaveEnded() const { return form_.SaveRawLog1->isEnabled(); }
};

TEST_F(RawLogToolsTest, SavesTheLinesTheFilterShowsAndTheDialogSaysSo) {
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
}

TEST_F(RawLogToolsTest, AnUnwritableFileIsToldAndTheLogStaysAsItWas) {
  Register();
  const std::size_t lines = form_.RawLog.Size();
  QTemporaryDir dir;
  const QString path = dir.filePath("missing/raw.log");
  form_.SaveRawLog(path);
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = form_.findChild<QMessageBox*>()) != nullptr; }));
  EXPECT_TRUE(box->text().contains(path));
  EXPECT_TRUE(SaveEnded());
  EXPECT_EQ(form_.RawLog.Size(), lines);
  box->close();
}

TEST_F(RawLogToolsTest, ClearEmptiesTheLogAndSaysSo) {
  form_.RawLog1->setChecked(true);
  Register();
  TRawLogView* view = form_.pnlRawLog->View();
  for (QAction* clear : {form_.ClearRawLog1, view->ContextMenu()->findChild<QAction*>("Clear")}) {
    ASSERT_NE(clear, nullptr);
    clear->trigger();
    EXPECT_EQ(form_.RawLog.Size(), 1u);
    EXPECT_EQ(NewestRaw(), "- Raw log cleared");
    ASSERT_TRUE(WaitUntil([&] { return view->Count() == 1; }));
    EXPECT_TRUE(view->ItemText(0).ends_with(" - Raw log cleared"));
  }
  Deliver({});
  EXPECT_EQ(NewestRaw(), "> PONG sync") << "the log goes on after a clear";
}

// Each row is sent on its own; the server cuts what it reads at CR LF only.
TEST_F(RawLogToolsTest, SendBytesSendsExactlyWhatTheEscapesSay) {
  Register();
  EXPECT_EQ(form_.pnlRawLog->SendBytesLabel()->buddy(), SendBytesEntry());
  const struct {
    QString typed;
    std::string wire;
  } cases[] = {
      {R"(PING a\r\n)", "PING a"},
      {R"(A\tB\0C\\D\r\n)", "A\tB\0C\\D"s},
      {R"(bare\rCR bare\nLF\r\n)", "bare\rCR bare\nLF"},
      {R"(\x41\xff\xFE\x7f\r\n)", "A\xFF\xFE\x7F"},
      {QString::fromUtf8("caf\xC3\xA9\\r\\n"), "caf\xC3\xA9"},
  };
  for (const auto& c : cases) {
    SendBytes(c.typed);
    EXPECT_EQ(NextLine(), c.wire) << c.typed.toStdString();
    EXPECT_EQ(SendBytesEntry()->text().toStdString(), "");
    EXPECT_EQ(NewestRaw(), "= " + c.wire + "\r\n");
  }

  const struct {
    QString typed;
    std::string told;
  } bad[] = {
      {R"(PING \q\r\n)", R"(Bytes not sent: unknown escape \q at column 6)"},
      {R"(PING \x4\r\n)",
       R"(Bytes not sent: malformed escape \x4 at column 6 (\x takes two hex digits))"},
      {R"(PING \xZZ)",
       R"(Bytes not sent: malformed escape \x at column 6 (\x takes two hex digits))"},
      {R"(PING \)", R"(Bytes not sent: a lone \ at the end (\\ sends a backslash))"},
      {QString(6000, 'x'), "Bytes not sent: too long for the write buffer (6000 of 5120 bytes)"},
  };
  for (const auto& c : bad) {
    SendBytes(c.typed);
    EXPECT_EQ(SendBytesEntry()->text(), c.typed) << "kept to be mended";
    EXPECT_EQ(LogLines().back(), c.told);
  }
  EXPECT_EQ(Deliver({}), std::vector<std::string>{}) << "nothing of them went out";
}

TEST_F(RawLogToolsTest, TwoPartialSendsAreOneLineAndComeBackWithUp) {
  Register();
  SendBytes("PRIVMSG #beginner :he");
  const auto& socket =
      static_cast<const transport::TBufferedSocketBase&>(*form_.IRCClient->Socket());
  EXPECT_EQ(socket.WriteCount(), 0) << "the first part went out on its own";
  EXPECT_EQ(NewestRaw(), "= PRIVMSG #beginner :he");
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
