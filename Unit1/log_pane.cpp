// TLogPane: appending lines to the log pane, held lines shown in one go.
#include "Unit1/log_pane.h"

#include <QTextBlock>
#include <QTextCursor>

#include "platform/toolkit/text_codec.h"

namespace unit1 {

TLogPane::TLogPane(QWidget* parent)
    : QPlainTextEdit(parent),
      show_(new toolkit::TPacedAction([this] { ShowHeldLines(); }, kLogShowIntervalMs, this)) {
  setMaximumBlockCount(kLogLinesKept);
  // An undo history would keep the text of every line ever dropped, and of
  // every line appended, for as long as the connection lasts.
  document()->setUndoRedoEnabled(false);
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
  // The widget's append puts its first line into the document's empty first
  // block: after lines that were all empty, that block is a line already.
  QString text = shows_lines_ && document()->isEmpty() ? "\n" : "";
  for (const std::string& line : held_) {
    if (&line != &held_.front()) text += '\n';
    text += toolkit::DisplayText(line);
  }
  held_.clear();
  shows_lines_ = true;
  appendPlainText(text);
}

void TLogPane::DropOldestLines(int count) {
  if (count <= 0) return;
  // The document's own bound would walk the cursor over each dropped line and
  // lay it out first; one selection made inside an edit block lays out none.
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  if (count < document()->blockCount()) {
    cursor.setPosition(document()->findBlockByNumber(count).position(), QTextCursor::KeepAnchor);
  } else {
    cursor.setPosition(document()->characterCount() - 1, QTextCursor::KeepAnchor);
    shows_lines_ = false;
  }
  cursor.removeSelectedText();
  cursor.endEditBlock();
}

void TLogPane::clear() {
  held_.clear();
  shows_lines_ = false;
  QPlainTextEdit::clear();
}

}  // namespace unit1
