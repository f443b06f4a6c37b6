// Takes the README's picture of the window: connected to a local IRC server,
// on its channel, with a short conversation (formatting and an action among
// it) and the raw log shown. A second user on a plain socket joins first and
// talks; the window is driven as a user would drive it.
// Usage: Unit1_screenshot PORT OUTPUT.png (an IRC server on 127.0.0.1:PORT
// with the client's password).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Il/indent_list_box.h"
#include "Unit1/unit1.h"
#include "tests/support/plain_irc_client.h"
#include "tests/support/wait_until.h"

namespace {

constexpr int kStepLimitMs = 10000;

[[noreturn]] void Fail(const char* step) {
  std::fprintf(stderr, "screenshot: %s\n", step);
  std::exit(1);
}

void Expect(bool reached, const char* step) {
  if (!reached) Fail(step);
}

bool WaitForEntries(const unit1::TForm1& form, int count) {
  return testsupport::WaitUntil([&] { return form.ilbChat->Count() >= count; }, kStepLimitMs);
}

// The picture is taller than the window first opens, to show the raw log.
constexpr int kPictureHeight = 640;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) Fail("usage: Unit1_screenshot PORT OUTPUT.png");
  const auto port = static_cast<std::uint16_t>(std::atoi(argv[1]));

  unit1::TForm1 form;
  form.resize(form.width(), kPictureHeight);
  form.RawLog1->setChecked(true);
  form.show();
  Expect(QTest::qWaitForWindowExposed(&form), "the window is not shown");

  testsupport::PlainIrcClient alice(port);
  Expect(alice.Register("alice", "Mossel"), "the second user cannot register");
  Expect(alice.Join("#beginner"), "the second user cannot join");

  form.ircServer->setText("127.0.0.1");
  form.ircPort->setText(QString::number(port));
  form.cbnew->setChecked(true);
  QTest::mouseClick(form.btnConnect, Qt::LeftButton);
  Expect(testsupport::WaitUntil([&] { return form.btnJoin->isEnabled(); }, kStepLimitMs),
         "the client is not registered");
  QTest::mouseClick(form.btnJoin, Qt::LeftButton);
  Expect(testsupport::WaitUntil([&] { return form.btnPart->isEnabled(); }, kStepLimitMs),
         "the client is not on the channel");

  alice.SendLine("PRIVMSG #beginner :Hello Tolvex, welcome to #beginner!");
  Expect(WaitForEntries(form, 1), "the second user's message does not arrive");
  QTest::keyClicks(form.Edit1, "Hi alice, thanks. Just trying out this client.");
  QTest::keyClick(form.Edit1, Qt::Key_Return);
  Expect(WaitForEntries(form, 2), "the own message does not come back");
  alice.SendLine(
      "PRIVMSG #beginner :Long messages wrap inside the text column, so the sender's "
      "name keeps a column of its own on the left and nothing is cut off at the edge.");
  Expect(WaitForEntries(form, 3), "the second message does not arrive");
  alice.SendLine(
      "PRIVMSG #beginner :\002Formatting\002 shows as clients show it: \00304red\003, "
      "\00303green\003, \00312,08blue on yellow\017 and \035italic\035.");
  alice.SendLine("PRIVMSG #beginner :\001ACTION waves\001");
  Expect(WaitForEntries(form, 5), "the formatted message and the action do not arrive");
  QTest::keyClicks(form.Edit2, "WHOIS alice");
  QTest::keyClick(form.Edit2, Qt::Key_Return);
  Expect(testsupport::WaitUntil(
             [&] { return form.Memo1->toPlainText().contains("End of WHOIS list"); }, kStepLimitMs),
         "the answer to the command line does not arrive");

  if (!form.grab().save(QString::fromLocal8Bit(argv[2]))) Fail("the picture cannot be written");
  return 0;
}
