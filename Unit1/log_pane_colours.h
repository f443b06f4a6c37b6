// The colours of one line of the log pane, kept beside the line rather than in
// the document: a document keeps every format it was ever given until it is
// emptied, so a flood of ever-new colours would grow it without end. The pane
// hands a line's colours to its layout while the line is on screen
// ("dressed"), and takes them back later.
#pragma once

#include <QList>
#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextLayout>
#include <utility>
#include <vector>

#include "Unit1/log_pane_format.h"

namespace unit1 {

// Characters [Start, Start + Length) of the line in these colours, packed in
// 16 bytes: a full pane holds hundreds of thousands.
struct TColourSpan {
  TColourSpan(int start, int length, const TRunColours& colours)
      : Start(start),
        Length(length),
        HasText(colours.Text.has_value()),
        HasBack(colours.Back.has_value()),
        Text(colours.Text.value_or(0)),
        Back(colours.Back.value_or(0)) {}

  TRunColours Colours() const {
    TRunColours colours;
    if (HasText) colours.Text = Text;
    if (HasBack) colours.Back = Back;
    return colours;
  }
  int End() const { return Start + Length; }

  int Start;
  int Length : 30;
  bool HasText : 1;
  bool HasBack : 1;
  QRgb Text;
  QRgb Back;
};

static_assert(sizeof(TColourSpan) == 16);

class TLineColours;

// The lines whose colours are in their layouts, oldest first. A line leaves it
// by itself when the document drops it.
using TDressedLines = std::vector<TLineColours*>;

class TLineColours : public QTextBlockUserData {
 public:
  TLineColours(std::vector<TColourSpan> spans, TDressedLines& dressed)
      : spans_(std::move(spans)), dressed_(dressed) {}
  ~TLineColours() override;

  std::vector<TColourSpan> TakeSpans() { return std::move(spans_); }
  // The colours at a character of the line; none outside every span.
  TRunColours At(int offset) const;
  // The user edited the line: `removed` characters at `at` gave way to `added`
  // ones, which are plain.
  void Edit(int at, int removed, int added);

  // Puts the colours into the layout of `line`, the block that holds them;
  // false when they are there already.
  bool Dress(QTextBlock line);
  // Takes them out again.
  void Undress();
  bool Dressed() const { return line_.isValid(); }
  // The pane goes before its document: the layout is left as it is.
  void Forget() { line_ = QTextBlock(); }

 private:
  std::vector<TColourSpan> spans_;
  TDressedLines& dressed_;
  // The block while dressed.
  QTextBlock line_;
};

}  // namespace unit1
