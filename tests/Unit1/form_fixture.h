// A shown main window with a scripted IRC server beside it, and the steps the
// tests take with them: typing, pressing Return, connecting, and waiting until
// the client has handled what the server sent.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Il/indent_list_box.h"
#include "Unit1/unit1.h"
#include "platform/winsys/winsys.h"
#include "tests/support/scripted_server.h"
#include "tests/support/wait_until.h"

namespace unit1 {

class FormTest : public ::testing::Test {
 protected:
  explicit FormTest(bool server_on_ipv6 = false) : server_(server_on_ipv6) {}
  void SetUp() override {
    previous_handler_ = winsys::Application().SetExceptionHandler(
        [this](const std::exception& error) { errors_.push_back(error.what()); });
    // Shown and laid out before any entry reaches the chat list, whose text
    // column depends on its width.
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  void TearDown() override {
    winsys::Application().SetExceptionHandler(previous_handler_);
    EXPECT_EQ(errors_, std::vector<std::string>{}) << "uncaught exceptions";
  }

  static void Type(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  static void PressReturn(QLineEdit* edit) { QTest::keyClick(edit, Qt::Key_Return); }
  static void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  static void Enter(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    PressReturn(edit);
  }
  bool IsIdle() const {
    return form_.btnConnect->text() == "&Connect" && form_.ircServer->isEnabled() &&
           form_.ircPort->isEnabled() && !form_.btnJoin->isEnabled() && !form_.btnPart->isEnabled();
  }
  // Every control the keyboard reaches in `top` has an accessible name.
  static void ExpectNamedControls(const QWidget& top) {
    for (QWidget* control : top.findChildren<QWidget*>()) {
      if (control->focusPolicy() == Qt::NoFocus || !control->isVisible()) continue;
      EXPECT_FALSE(
          QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty())
          << control->metaObject()->className();
    }
  }
  // Which of Join, Part and the channel field are usable, e.g. "join channel ".
  std::string Usable() const {
    return std::string(form_.btnJoin->isEnabled() ? "join " : "") +
           (form_.btnPart->isEnabled() ? "part " : "") +
           (form_.ircChannel->isEnabled() ? "channel " : "");
  }
  bool BackAtConnect() const {
    return testsupport::WaitUntil([&] { return form_.btnConnect->text() == "&Connect"; });
  }

  // Connect pressed with `host` and `port` in the entry fields.
  void ConnectTo(std::uint16_t port, const char* host = "127.0.0.1") {
    Type(form_.ircServer, host);
    Type(form_.ircPort, QString::number(port));
    Click(form_.btnConnect);
  }
  // Connected and registered: the three registration lines are taken.
  void Register() {
    ConnectTo(server_.Port());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(NextLine().has_value());
  }
  // Registered, joined and confirmed as on the channel.
  void JoinChannel() {
    Register();
    Deliver({":irc.test 376 Tolvex :End of MOTD"});
    Click(form_.btnJoin);
    ASSERT_EQ(NextLine(), "JOIN #beginner");
    Deliver({":Tolvex!q@host JOIN :#beginner"});
  }

  std::optional<std::string> NextLine() {
    if (!testsupport::WaitUntil([&] { return server_.HasLine(); })) return std::nullopt;
    return server_.TakeLine();
  }
  // Sends the lines, then a PING, and waits for its answer: by then the client
  // has handled every line before it. Returns what the client sent meanwhile.
  std::vector<std::string> Deliver(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) server_.SendLine(line);
    server_.SendLine("PING :sync");
    std::vector<std::string> sent;
    for (auto line = NextLine(); line; line = NextLine()) {
      if (*line == "PONG sync") return sent;
      sent.push_back(*line);
    }
    ADD_FAILURE() << "no answer to the PING";
    return sent;
  }

  std::vector<std::string> ChatEntries() const {
    std::vector<std::string> entries;
    for (int i = 0; i < form_.ilbChat->Count(); ++i) entries.push_back(form_.ilbChat->Item(i));
    return entries;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < form_.lbNames->count(); ++i) {
      names.push_back(form_.lbNames->Text(i).toStdString());
    }
    return names;
  }
  static bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
  }
  // The log pane's lines, once those held during a flood have shown.
  std::vector<std::string> LogLines() const {
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !form_.Memo1->HasHeldLines(); }));
    std::vector<std::string> lines;
    for (const QString& line : form_.Memo1->toPlainText().split('\n')) {
      lines.push_back(line.toStdString());
    }
    return lines;
  }

  // The raw log's lines from `first` on, as direction and bytes.
  std::vector<std::string> Raw(std::uint64_t first = 0) const {
    std::vector<std::string> lines;
    const TRawLog& log = form_.RawLog;
    for (std::uint64_t n = std::max(first, log.FirstNumber()); n < log.EndNumber(); ++n) {
      lines.push_back(char(log.Line(n).Direction) + std::string(" ") +
                      std::string(log.Line(n).Bytes));
    }
    return lines;
  }

  testsupport::ScriptedServer server_;
  TForm1 form_;
  std::vector<std::string> errors_;

 private:
  winsys::TApplication::ExceptionHandler previous_handler_;
};

}  // namespace unit1
