// TLogPane's colours on screen: lent to the layouts of the lines that show,
// kept on their characters through the user's edits, and the document built
// afresh once the formats it was given pass the bound.
#include "Unit1/log_pane.h"

#include <QMetaObject>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <utility>
#include <vector>

namespace unit1 {

QTextCharFormat TLogPane::ShownFormatAt(int position) const {
  QTextCursor cursor(document());
  cursor.setPosition(position);
  QTextCharFormat format = cursor.charFormat();
  // The cursor reads the format of the character before it.
  const QTextBlock line = document()->findBlock(position - 1);
  if (const auto* colours = static_cast<const TLineColours*>(line.userData())) {
    format.merge(ColourFormatOf(colours->At(position - 1 - line.position())));
  }
  return format;
}

void TLogPane::paintEvent(QPaintEvent* event) {
  DressShownLines();
  QPlainTextEdit::paintEvent(event);
}

void TLogPane::DressShownLines() {
  own_change_ = true;
  const QPointF offset = contentOffset();
  const int bottom = viewport()->height();
  bool dressed = false;
  for (QTextBlock line = firstVisibleBlock(); line.isValid(); line = line.next()) {
    if (blockBoundingGeometry(line).translated(offset).top() > bottom) break;
    auto* colours = static_cast<TLineColours*>(line.userData());
    if (colours != nullptr && colours->Dress(line)) dressed = true;
  }
  while (dressed_.size() > kLogDressedKept) dressed_.front()->Undress();
  own_change_ = false;
  if (fresh_) {
    fresh_ = false;
    formats_bound_ = std::max(kLogFormatsKept, 2 * int(document()->allFormats().size()));
  } else if (dressed) {
    RequestCompaction();
  }
}

void TLogPane::FollowEdit(int position, int removed, int added) {
  if (own_change_) return;
  const QTextBlock line = document()->findBlock(position);
  auto* colours = static_cast<TLineColours*>(line.userData());
  if (colours == nullptr) return;
  own_change_ = true;
  colours->Edit(position - line.position(), removed, added);
  own_change_ = false;
}

void TLogPane::RequestCompaction() {
  if (compaction_requested_) return;
  compaction_requested_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        compaction_requested_ = false;
        CompactFormats();
      },
      Qt::QueuedConnection);
}

// Emptying the document is the only way to make it forget formats: the lines
// go in again as they stand, with their styles and colours, and the user's
// cursor, selection and scroll position stay.
void TLogPane::CompactFormats() {
  if (document()->allFormats().size() <= formats_bound_) return;
  struct TPiece {
    QString text;
    QTextCharFormat format;
  };
  struct TLine {
    QTextBlockFormat format;
    QTextCharFormat char_format;
    std::vector<TPiece> pieces;
    std::vector<TColourSpan> spans;
  };
  std::vector<TLine> lines;
  lines.reserve(std::size_t(document()->blockCount()));
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    TLine& line = lines.emplace_back();
    line.format = block.blockFormat();
    line.char_format = block.charFormat();
    for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
      line.pieces.push_back({piece.fragment().text(), piece.fragment().charFormat()});
    }
    if (auto* colours = static_cast<TLineColours*>(block.userData())) {
      line.spans = colours->TakeSpans();
    }
  }
  const QTextCursor user = textCursor();
  const int anchor = user.anchor();
  const int position = user.position();
  QScrollBar* bar = verticalScrollBar();
  const int scrolled = bar->value();
  const bool at_bottom = scrolled == bar->maximum();

  own_change_ = true;
  document()->clear();
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  for (TLine& line : lines) {
    if (&line == &lines.front()) {
      cursor.setBlockFormat(line.format);
      cursor.setBlockCharFormat(line.char_format);
    } else {
      cursor.insertBlock(line.format, line.char_format);
    }
    for (const TPiece& piece : line.pieces) cursor.insertText(piece.text, piece.format);
    if (!line.spans.empty()) {
      cursor.block().setUserData(new TLineColours(std::move(line.spans), dressed_));
    }
  }
  cursor.endEditBlock();
  own_change_ = false;

  QTextCursor restored(document());
  restored.setPosition(anchor);
  restored.setPosition(position, QTextCursor::KeepAnchor);
  setTextCursor(restored);
  bar->setValue(at_bottom ? bar->maximum() : scrolled);
  fresh_ = true;
}

}  // namespace unit1
