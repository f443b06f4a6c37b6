// A log pane line's colours: kept by character, edited with the line, lent to
// its layout while it shows.
#include "Unit1/log_pane_colours.h"

#include <QTextDocument>
#include <algorithm>

namespace unit1 {

namespace {

// The layout's formats changed: the document lays the line out again, and the
// view repaints it. Colours change no glyph's place. The block hands out its
// document as const; the pane owns it.
void Relayout(const QTextBlock& line, const QList<QTextLayout::FormatRange>& ranges) {
  line.layout()->setFormats(ranges);
  const_cast<QTextDocument*>(line.document())->markContentsDirty(line.position(), line.length());
}

}  // namespace

TLineColours::~TLineColours() {
  if (Dressed()) std::erase(dressed_, this);
}

TRunColours TLineColours::At(int offset) const {
  for (const TColourSpan& span : spans_) {
    if (offset >= span.Start && offset < span.End()) return span.Colours();
  }
  return {};
}

void TLineColours::Edit(int at, int removed, int added) {
  std::vector<TColourSpan> edited;
  edited.reserve(spans_.size() + 1);
  const int removed_end = at + removed;
  for (const TColourSpan& span : spans_) {
    const int end = span.End();
    if (span.Start < at) {
      edited.emplace_back(span.Start, std::min(end, at) - span.Start, span.Colours());
    }
    if (end > removed_end) {
      const int start = std::max(span.Start, removed_end);
      edited.emplace_back(start - removed + added, end - start, span.Colours());
    }
  }
  spans_ = std::move(edited);
  if (Dressed()) {
    // The layout's ranges are those from before the edit.
    const QTextBlock line = line_;
    Undress();
    Dress(line);
  }
}

bool TLineColours::Dress(QTextBlock line) {
  if (Dressed()) return false;
  QList<QTextLayout::FormatRange> ranges;
  ranges.reserve(qsizetype(spans_.size()));
  for (const TColourSpan& span : spans_) {
    ranges.append({span.Start, span.Length, ColourFormatOf(span.Colours())});
  }
  line_ = line;
  dressed_.push_back(this);
  Relayout(line, ranges);
  return true;
}

void TLineColours::Undress() {
  if (!Dressed()) return;
  const QTextBlock line = line_;
  line_ = QTextBlock();
  std::erase(dressed_, this);
  Relayout(line, {});
}

}  // namespace unit1
