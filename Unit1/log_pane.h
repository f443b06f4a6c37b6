// TLogPane: the window's log pane, text lines in a fixed font that the user
// can also select and edit. It keeps the newest kLogLinesKept lines, so that a
// long connection cannot fill the memory. Lines that arrive during a read
// notification are held and shown together when it ends, and while the server
// keeps sending, at most once per kLogShowIntervalMs: a flood then lays out
// only the lines that stay, not every line that passes.
#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

#include "platform/toolkit/once_per_turn.h"

namespace unit1 {

// The log pane drops its oldest lines beyond this many.
constexpr int kLogLinesKept = 10000;
// Held lines wait at most this long after the previous ones were shown.
constexpr int kLogShowIntervalMs = 50;

class TLogPane : public QPlainTextEdit {
 public:
  explicit TLogPane(QWidget* parent = nullptr);

  // Every appended line shows as a line of its own, an empty one too.
  void AppendLine(const QString& line);
  // Lines appended from now on wait until EndHold, or until the next turn of
  // the event loop, whichever comes first.
  void HoldLines();
  // Shows the held lines now, or once the interval since the previous show
  // has passed.
  void EndHold();
  // Shows the held lines now.
  void ShowHeldLines();
  bool HasHeldLines() const { return !held_.isEmpty(); }
  // Empties the pane, held lines included.
  void clear();

 private:
  // Removes the oldest lines shown, before new ones push them over the bound.
  void DropOldestLines(int count);

  QStringList held_;
  bool holding_ = false;
  toolkit::TOncePerTurn* hold_end_turn_;
  QTimer show_timer_;
  QElapsedTimer since_show_;
  // Whether the pane shows any line: an empty document shows one empty line or
  // none.
  bool shows_lines_ = false;
};

}  // namespace unit1
