// The window to assistive technology: every control named, the lists named
// and read by their rows, and a new chat entry announced.
#include <QAccessible>
#include <QAction>
#include <QLabel>

#include "platform/toolkit/accessibility_events.h"
#include "tests/Unit1/form_fixture.h"

namespace unit1 {
namespace {

using testsupport::WaitUntil;

QAccessibleInterface* Accessible(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget);
}

TEST_F(FormTest, EveryControlHasAnAccessibleName) {
  // The raw log's controls count too.
  form_.RawLog1->setChecked(true);
  for (QWidget* control : form_.findChildren<QWidget*>()) {
    if (control->focusPolicy() == Qt::NoFocus || !control->isVisible()) continue;
    EXPECT_FALSE(Accessible(control)->text(QAccessible::Name).isEmpty())
        << control->metaObject()->className();
  }
  struct Case {
    QWidget* control;
    const char* name;
    QAccessible::Role role;
  };
  for (const Case c : {Case{form_.ircServer, "Server", QAccessible::EditableText},
                       Case{form_.ircPort, "Port", QAccessible::EditableText},
                       Case{form_.ircChannel, "Channel", QAccessible::EditableText},
                       Case{form_.Edit1, "Message", QAccessible::EditableText},
                       Case{form_.Edit2, "Commands", QAccessible::EditableText},
                       Case{form_.ilbChat, "Chat", QAccessible::List},
                       Case{form_.lbNames, "Names", QAccessible::List},
                       Case{form_.Memo1, "Log", QAccessible::EditableText}}) {
    EXPECT_EQ(Accessible(c.control)->text(QAccessible::Name), c.name);
    EXPECT_EQ(Accessible(c.control)->role(), c.role) << c.name;
  }
  // The labels stand for their lines: Alt with the underlined letter goes there.
  EXPECT_EQ(form_.Label1->buddy(), form_.Edit1);
  EXPECT_EQ(form_.Label2->buddy(), form_.Edit2);
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

}  // namespace
}  // namespace unit1
