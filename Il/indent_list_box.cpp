// TIndentListBox: the measure and draw steps of the indented chat list.
#include "Il/indent_list_box.h"

#include <string_view>

#include "Il/chat_entry.h"
#include "Il/wrap_text.h"

namespace il {

namespace {

// Room kept free at the right of every line, for the border and scroll bar.
constexpr int kRightMargin = 20;
// A sample with a tall capital, an accent and a descender: the height of one
// line. The third byte is a capital A with acute in Windows-1252.
constexpr std::string_view kLineSample = "|_\xC1M";

}  // namespace

TIndentListBox::TIndentListBox(QWidget* Owner) : toolkit::TListBox(Owner) {
  setGeometry(20, 20, 100, 100);
  SetFont(toolkit::TFont{"Arial", -11, toolkit::clBlack, 0});
  SetItemHeight(16);
  SetStyle(toolkit::TListBoxStyle::lbOwnerDrawVariable);
  TitleFontColor_ = toolkit::clBlack;
  TitleFontStyle_ = toolkit::fsItalic;
  SetIndent(itab);
  SetPosIndent(48);
  DrawLines_ = true;
  DrawLineColor_ = toolkit::clSilver;
}

TIndentListBox::~TIndentListBox() = default;

void TIndentListBox::SetIndent(TEnumType value) {
  if (value == Indent_) return;
  Indent_ = value;
  SetStyle(toolkit::TListBoxStyle::lbOwnerDrawVariable);
}

void TIndentListBox::SetPosIndent(int value) {
  if (value == PosIndent_) return;
  PosIndent_ = value;
  RemeasureItems();
}

void TIndentListBox::MeasureItem(toolkit::TCanvas& canvas, int Index, int& Height) {
  toolkit::TListBox::MeasureItem(canvas, Index, Height);
  const TChatEntry entry = SplitEntry(Item(Index));
  canvas.SetFont(Font());
  // The whole width of the control, border included.
  const int Width = width();
  if (PosIndent_ >= Width) SetPosIndent(Width / 2);
  LineHeight_ = canvas.TextHeight(kLineSample);
  int lines = 0;
  switch (Indent_) {
    case itab:
      WrapText(entry.Text, WrapLines_, canvas, Width - PosIndent_ - kRightMargin);
      lines = static_cast<int>(WrapLines_.size());
      break;
    case iline:
      WrapText(entry.Text, WrapLines_, canvas, Width - kRightMargin);
      lines = static_cast<int>(WrapLines_.size()) + 1;
      break;
    default:
      WrapText(Item(Index), WrapLines_, canvas, Width - kRightMargin);
      lines = static_cast<int>(WrapLines_.size());
      break;
  }
  Height = lines * LineHeight_;
}

void TIndentListBox::DrawItem(toolkit::TCanvas& canvas, int Index, const toolkit::TRect& Rect,
                              toolkit::TOwnerDrawState) {
  // The host's font, in the highlight-text colour for a selected entry.
  const toolkit::TFont kept = canvas.Font();
  const TChatEntry entry = SplitEntry(Item(Index));
  canvas.FillRect(Rect);
  const int Width = width();
  if (Indent_ != itab && Indent_ != iline) {
    WrapText(Item(Index), WrapLines_, canvas, Width - kRightMargin);
    for (std::size_t k = 0; k < WrapLines_.size(); ++k) {
      canvas.TextOut(Rect.Left + 1, Rect.Top + static_cast<int>(k) * LineHeight_, WrapLines_[k]);
    }
    return;
  }
  // itab: the text in its column beside the title; iline: below the title.
  const int text_left = Indent_ == itab ? PosIndent_ : 0;
  const int first_text_row = Indent_ == itab ? 0 : 1;
  WrapText(entry.Text, WrapLines_, canvas, Width - text_left - kRightMargin);
  const int text_lines = static_cast<int>(WrapLines_.size());
  WrapLines_.push_back(entry.Title);
  DrawTitle(canvas, Rect, kept);
  for (int k = 0; k < text_lines; ++k) {
    canvas.TextOut(Rect.Left + text_left, Rect.Top + (k + first_text_row) * LineHeight_,
                   WrapLines_[static_cast<std::size_t>(k)]);
  }
  if (DrawLines_) {
    // The entry's last row of pixels.
    const int y = Rect.Top + (text_lines + first_text_row) * LineHeight_ - 1;
    canvas.SetPenColor(DrawLineColor_);
    canvas.MoveTo(Rect.Left, y);
    canvas.LineTo(Rect.Right, y);
  }
}

void TIndentListBox::DrawTitle(toolkit::TCanvas& canvas, const toolkit::TRect& Rect,
                               const toolkit::TFont& font) {
  toolkit::TFont title = font;
  title.Color = TitleFontColor_;
  title.Style = TitleFontStyle_;
  canvas.SetFont(title);
  canvas.TextOut(Rect.Left, Rect.Top, WrapLines_.back());
  canvas.SetFont(font);
}

}  // namespace il
