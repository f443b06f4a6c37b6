// TLogPane: appending lines to the log pane, held lines shown in one go.
#include "Unit1/log_pane.h"

#include <QTextBlock>
#include <QTextCursor>

namespace unit1 {

TLogPane::TLogPane(QWidget* parent)
    : QPlainTextEdit(parent),
      hold_end_turn_(new toolkit::TOncePerTurn([this] { EndHold(); }, this)) {
  setMaximumBlockCount(kLogLinesKept);
  // An undo history would keep the text of every line ever dropped, and of
  // every line appended, for as long as the connection lasts.
  document()->setUndoRedoEnabled(false);
  show_timer_.setSingleShot(true);
  connect(&show_timer_, &QTimer::timeout, this, [this] { ShowHeldLines(); });
}

void TLogPane::AppendLine(const QString& line) {
  held_.append(line);
  // Only the newest lines could be shown anyway.
  if (held_.size() > kLogLinesKept) held_.removeFirst();
  if (!holding_) ShowHeldLines();
}

void TLogPane::HoldLines() {
  if (holding_) return;
  holding_ = true;
  hold_end_turn_->Request();
}

void TLogPane::EndHold() {
  holding_ = false;
  if (held_.isEmpty() || show_timer_.isActive()) return;
  const qint64 waited = since_show_.isValid() ? since_show_.elapsed() : kLogShowIntervalMs;
  if (waited >= kLogShowIntervalMs) {
    ShowHeldLines();
  } else {
    show_timer_.start(int(kLogShowIntervalMs - waited));
  }
}

void TLogPane::ShowHeldLines() {
  holding_ = false;
  show_timer_.stop();
  if (held_.isEmpty()) return;
  since_show_.start();
  // An empty document's one block takes the first line, once no line shows.
  const int shown = document()->isEmpty() && !shows_lines_ ? 0 : document()->blockCount();
  DropOldestLines(shown + int(held_.size()) - kLogLinesKept);
  // The widget's append puts its first line into the document's empty first
  // block: after lines that were all empty, that block is a line already.
  const QString text = (shows_lines_ && document()->isEmpty() ? "\n" : "") + held_.join('\n');
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
  show_timer_.stop();
  shows_lines_ = false;
  QPlainTextEdit::clear();
}

}  // namespace unit1
