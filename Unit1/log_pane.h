// TLogPane: the window's log pane, text lines in a fixed font that the user
// can also select and edit. It keeps the newest kLogLinesKept lines, so that a
// long connection cannot fill the memory, and while lines are held (during one
// read notification) it shows them together when holding ends.
#pragma once

#include <QPlainTextEdit>
#include <QStringList>

#include "platform/toolkit/once_per_turn.h"

namespace unit1 {

// The log pane drops its oldest lines beyond this many.
constexpr int kLogLinesKept = 10000;

class TLogPane : public QPlainTextEdit {
 public:
  explicit TLogPane(QWidget* parent = nullptr);

  // Every appended line shows as a line of its own, an empty one too.
  void AppendLine(const QString& line);
  // Lines appended from now on wait, and show together at ShowHeldLines, which
  // also runs by itself at the next turn of the event loop.
  void HoldLines();
  void ShowHeldLines();
  // Empties the pane, held lines included.
  void clear();

 private:
  // Removes the oldest lines shown, before new ones push them over the bound.
  void DropOldestLines(int count);

  QStringList held_;
  bool holding_ = false;
  toolkit::TOncePerTurn* show_turn_;
  // Whether the pane shows any line: an empty document shows one empty line or
  // none.
  bool shows_lines_ = false;
};

}  // namespace unit1
