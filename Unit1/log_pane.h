// TLogPane: the window's log pane, text lines in a fixed font that the user
// can also select and edit. IRC formatting in a line shows as colours, bold,
// italic and underline, never as its codes; what the user types stays plain. It keeps the newest
// kLogLinesKept lines, so that a long connection cannot fill the memory. Lines that arrive during a
// read notification are held and shown together when it ends, and while the server keeps sending,
// at most once per kLogShowIntervalMs: a flood then lays out only the lines that stay, not every
// line that passes.
#pragma once

#include <QPlainTextEdit>
#include <deque>
#include <string>
#include <string_view>

#include "platform/toolkit/paced_action.h"

namespace unit1 {

// The log pane drops its oldest lines beyond this many.
constexpr int kLogLinesKept = 10000;
// Held lines wait at most this long after the previous ones were shown.
constexpr int kLogShowIntervalMs = 50;

class TLogPane : public QPlainTextEdit {
 public:
  explicit TLogPane(QWidget* parent = nullptr);

  // Every appended line shows as a line of its own, an empty one too. Bytes
  // become text only when they are shown, so that lines a flood pushes out
  // before then cost nothing but their copy.
  void AppendLine(std::string_view bytes);
  // Lines appended from now on wait, and show together soon after EndHold:
  // at the next turn of the event loop, or once the interval since the
  // previous show has passed. A hold that nothing ends shows them too.
  void HoldLines();
  void EndHold();
  // Shows the held lines now.
  void ShowHeldLines();
  bool HasHeldLines() const { return !held_.empty(); }
  // Empties the pane, held lines included.
  void clear();

 private:
  // Removes the oldest lines shown, before new ones push them over the bound.
  void DropOldestLines(int count);
  void AppendStyledLines(bool first_block_taken);

  std::deque<std::string> held_;
  bool holding_ = false;
  toolkit::TPacedAction* show_;
  // Whether the pane shows any line: an empty document shows one empty line or
  // none.
  bool shows_lines_ = false;
};

}  // namespace unit1
