// TLogPane: appending lines to the log pane, held lines shown in one go, IRC
// formatting shown as character formats and line colours.
#include "Unit1/log_pane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <utility>
#include <vector>

#include "Il/styled_run.h"
#include "Unit1/irc_styler.h"
#include "Unit1/log_pane_format.h"
#include "platform/toolkit/text_codec.h"

namespace unit1 {

TLogPane::TLogPane(QWidget* parent)
    : QPlainTextEdit(parent),
      show_(new toolkit::TPacedAction([this] { ShowHeldLines(); }, kLogShowIntervalMs, this)) {
  setMaximumBlockCount(kLogLinesKept);
  // What the user types is plain, also next to a styled line.
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (!textCursor().hasSelection() && currentCharFormat() != QTextCharFormat()) {
      setCurrentCharFormat(QTextCharFormat());
    }
  });
  // An undo history would keep the text of every line ever dropped, and of
  // every line appended, for as long as the connection lasts.
  document()->setUndoRedoEnabled(false);
  connect(document(), &QTextDocument::contentsChange, this, &TLogPane::FollowEdit);
}

TLogPane::~TLogPane() {
  // The lines' colours outlive the list of those dressed.
  for (TLineColours* line : dressed_) line->Forget();
}

void TLogPane::AppendLine(std::string_view bytes) {
  held_.emplace_back(bytes);
  // Only the newest lines could be shown anyway.
  if (held_.size() > std::size_t(kLogLinesKept)) held_.pop_front();
  if (!holding_) ShowHeldLines();
}

void TLogPane::HoldLines() {
  if (holding_) return;
  holding_ = true;
  show_->Request();
}

void TLogPane::EndHold() {
  holding_ = false;
  if (!held_.empty()) show_->Request();
}

void TLogPane::ShowHeldLines() {
  holding_ = false;
  if (held_.empty()) return;
  // An empty document's one block takes the first line, once no line shows.
  const int shown = document()->isEmpty() && !shows_lines_ ? 0 : document()->blockCount();
  DropOldestLines(shown + int(held_.size()) - kLogLinesKept);
  // An empty document's first block takes the first line, unless it is an
  // empty line already (after lines that were all empty).
  const bool first_block_taken = shows_lines_ || !document()->isEmpty();
  if (std::any_of(held_.begin(), held_.end(),
                  [](const std::string& line) { return il::NeedsStyler(line); })) {
    AppendStyledLines(first_block_taken);
  } else {
    QString text = shows_lines_ && document()->isEmpty() ? "\n" : "";
    for (const std::string& line : held_) {
      if (&line != &held_.front()) text += '\n';
      text += toolkit::DisplayText(line);
    }
    own_change_ = true;
    appendPlainText(text);
    own_change_ = false;
  }
  held_.clear();
  shows_lines_ = true;
  CompactFormats();
}

// Lines with formatting or control characters go in run by run; the lines
// around them plain, as the widget's own append puts them.
void TLogPane::AppendStyledLines(bool first_block_taken) {
  QScrollBar* bar = verticalScrollBar();
  const bool at_bottom = bar->value() == bar->maximum();
  const QTextCharFormat plain;
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  own_change_ = true;
  cursor.beginEditBlock();
  for (const std::string& line : held_) {
    if (&line != &held_.front() || first_block_taken) cursor.insertBlock(QTextBlockFormat(), plain);
    if (!il::NeedsStyler(line)) {
      cursor.insertText(toolkit::DisplayText(line), plain);
      continue;
    }
    std::vector<TColourSpan> spans;
    int column = 0;
    for (const il::TStyledRun& run : IrcStyledText(line)) {
      const QString text = QString::fromUtf8(run.Text);
      cursor.insertText(text, StyleFormatOf(run));
      const TRunColours colours = ColoursOf(run, palette());
      if (colours.Any() && !text.isEmpty()) spans.emplace_back(column, int(text.size()), colours);
      column += int(text.size());
    }
    if (!spans.empty()) cursor.block().setUserData(new TLineColours(std::move(spans), dressed_));
  }
  cursor.endEditBlock();
  own_change_ = false;
  if (at_bottom) bar->setValue(bar->maximum());
}

void TLogPane::DropOldestLines(int count) {
  if (count <= 0) return;
  // The document's own bound would walk the cursor over each dropped line and
  // lay it out first; one selection made inside an edit block lays out none.
  QTextCursor cursor(document());
  own_change_ = true;
  cursor.beginEditBlock();
  if (count < document()->blockCount()) {
    cursor.setPosition(document()->findBlockByNumber(count).position(), QTextCursor::KeepAnchor);
  } else {
    cursor.setPosition(document()->characterCount() - 1, QTextCursor::KeepAnchor);
    shows_lines_ = false;
  }
  cursor.removeSelectedText();
  cursor.endEditBlock();
  own_change_ = false;
}

void TLogPane::clear() {
  held_.clear();
  shows_lines_ = false;
  own_change_ = true;
  QPlainTextEdit::clear();
  own_change_ = false;
}

}  // namespace unit1
