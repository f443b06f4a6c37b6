// TLogPane: the window's log pane, text lines in a fixed font that the user
// can also select and edit. IRC formatting in a line shows as colours, bold,
// italic and underline, never as its codes; what the user types stays plain. It keeps the newest
// kLogLinesKept lines, so that a long connection cannot fill the memory. Lines that arrive during a
// read notification are held and shown together when it ends, and while the server keeps sending,
// at most once per kLogShowIntervalMs: a flood then lays out only the lines that stay, not every
// line that passes. Colours stay with their lines and reach the layout only while a line is on
// screen, and the document is built afresh once the formats it was given pass a bound: its memory
// follows what it shows, however many colours went through it.
#pragma once

#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "Unit1/log_pane_colours.h"
#include "platform/toolkit/paced_action.h"

namespace unit1 {

// The log pane drops its oldest lines beyond this many.
constexpr int kLogLinesKept = 10000;
// Held lines wait at most this long after the previous ones were shown.
constexpr int kLogShowIntervalMs = 50;
// The document is built afresh once it holds more formats than this (or than
// twice what the lines on screen need).
constexpr int kLogFormatsKept = 8192;
// Lines off screen keep their colours in their layouts up to this many.
constexpr std::size_t kLogDressedKept = 256;

class TLogPane : public QPlainTextEdit {
 public:
  explicit TLogPane(QWidget* parent = nullptr);
  ~TLogPane() override;

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
  // The format the character at a position of the document is drawn in:
  // its style, and its line's colours.
  QTextCharFormat ShownFormatAt(int position) const;
  // The formats the document may hold before it is built afresh: the bound
  // above, or twice what the lines on screen need when that is more.
  int FormatsBound() const { return formats_bound_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Removes the oldest lines shown, before new ones push them over the bound.
  void DropOldestLines(int count);
  void AppendStyledLines(bool first_block_taken);
  // Lends the colours of the lines on screen to their layouts, and takes them
  // back from the lines that left it longest ago.
  void DressShownLines();
  // The user changed the text: the line's colours follow.
  void FollowEdit(int position, int removed, int added);
  // Builds the document afresh when its formats passed the bound.
  void CompactFormats();
  // Asks for that after the current event.
  void RequestCompaction();

  std::deque<std::string> held_;
  bool holding_ = false;
  toolkit::TPacedAction* show_;
  // Whether the pane shows any line: an empty document shows one empty line or
  // none.
  bool shows_lines_ = false;
  TDressedLines dressed_;
  // The pane changes the document itself: not an edit of the user's.
  bool own_change_ = false;
  int formats_bound_ = kLogFormatsKept;
  // The document was just built afresh: the bound follows what the screen needs.
  bool fresh_ = false;
  bool compaction_requested_ = false;
};

}  // namespace unit1
