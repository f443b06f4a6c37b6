// The entry lines' keys in the window: Up and Down bring back the lines sent
// from each line, Tab completes a nickname from the names list.
#include <QApplication>

#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

void Press(QLineEdit* edit, Qt::Key key) {
  QTest::keyClick(edit, key);
}

TEST_F(FormTest, UpAndDownBringBackOnlyTheLinesSentFromThatLine) {
  // Not connected: the line is not sent, and not kept.
  Type(form_.Edit2, "WHOIS nobody");
  PressReturn(form_.Edit2);
  JoinChannel();
  for (const char* line : {"first", "second"}) {
    Type(form_.Edit1, line);
    PressReturn(form_.Edit1);
    ASSERT_EQ(NextLine(), "PRIVMSG #beginner,Tolvex :" + std::string(line));
  }
  Type(form_.Edit2, "TOPIC #beginner");
  PressReturn(form_.Edit2);
  ASSERT_EQ(NextLine(), "TOPIC #beginner");

  Type(form_.Edit1, "draft");
  struct Step {
    Qt::Key key;
    const char* shown;
  };
  for (const Step step :
       {Step{Qt::Key_Up, "second"}, Step{Qt::Key_Up, "first"}, Step{Qt::Key_Up, "first"},
        Step{Qt::Key_Down, "second"}, Step{Qt::Key_Down, "draft"}}) {
    Press(form_.Edit1, step.key);
    EXPECT_EQ(form_.Edit1->text(), step.shown);
  }
  form_.Edit2->clear();
  Press(form_.Edit2, Qt::Key_Up);
  EXPECT_EQ(form_.Edit2->text(), "TOPIC #beginner");
  Press(form_.Edit2, Qt::Key_Up);
  EXPECT_EQ(form_.Edit2->text(), "TOPIC #beginner");
}

TEST_F(FormTest, TabCompletesANicknameAndElseMovesOn) {
  JoinChannel();
  Deliver({":irc.test 353 Tolvex = #beginner :Tolvex @alice +alfred bob"});
  form_.Edit1->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return form_.Edit1->hasFocus(); }));
  struct Step {
    const char* typed;  // null: Tab again
    const char* shown;
  };
  for (const Step step : {Step{"al", "alfred: "}, Step{nullptr, "alice: "},
                          Step{nullptr, "alfred: "}, Step{"hi B", "hi bob"}}) {
    if (step.typed != nullptr) Type(form_.Edit1, step.typed);
    Press(form_.Edit1, Qt::Key_Tab);
    EXPECT_EQ(form_.Edit1->text(), step.shown);
    EXPECT_EQ(QApplication::focusWidget(), form_.Edit1);
  }
  Type(form_.Edit1, "zed");
  Press(form_.Edit1, Qt::Key_Tab);
  EXPECT_EQ(form_.Edit1->text(), "zed");
  EXPECT_EQ(QApplication::focusWidget(), form_.Edit2);
}

}  // namespace
}  // namespace unit1
