// The entry lines' own keys: Up and Down through the lines sent from the line,
// Tab completing a nickname in the message line.
#include <QKeyEvent>
#include <QLineEdit>

#include "Unit1/unit1.h"

namespace unit1 {

bool TForm1::EntryKeyPress(QLineEdit* edit, const QKeyEvent& key) {
  if ((key.modifiers() & ~Qt::KeypadModifier) != 0) return false;
  TLineHistory& history = edit == Edit1 ? message_history_ : command_history_;
  switch (key.key()) {
    case Qt::Key_Up:
      if (const auto line = history.Older(edit->text())) edit->setText(*line);
      return true;
    case Qt::Key_Down:
      if (const auto line = history.Newer()) edit->setText(*line);
      return true;
    case Qt::Key_Tab:
      // Without a word to complete, Tab moves on as it always did.
      return edit == Edit1 && CompleteNick();
    default:
      return false;
  }
}

bool TForm1::CompleteNick() {
  const auto completed =
      nick_completion_.Complete(Edit1->text(), Edit1->cursorPosition(), lbNames->Names());
  if (!completed) return false;
  Edit1->setText(completed->Text);
  Edit1->setCursorPosition(completed->Cursor);
  return true;
}

}  // namespace unit1
