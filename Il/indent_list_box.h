// TIndentListBox: a list of chat entries, each a title and a text split at the
// first "|". Every entry is as high as its wrapped text needs; the title stands
// in a column of its own (itab), on a line above the text (iline), or is not
// set apart (inone). Titles have their own colour and style, and entries can
// be separated by a thin line. With a styler, titles and texts that carry
// formatting are drawn styled, the codes never shown.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Il/styled_run.h"
#include "platform/toolkit/canvas.h"
#include "platform/toolkit/color.h"
#include "platform/toolkit/font.h"
#include "platform/toolkit/list_box.h"

namespace il {

enum TEnumType : std::uint8_t { inone = 0, itab = 1, iline = 2 };

class TIndentListBox : public toolkit::TListBox {
 public:
  explicit TIndentListBox(QWidget* Owner = nullptr);
  ~TIndentListBox() override;

  TEnumType Indent() const { return Indent_; }
  // Changing the layout measures every entry again.
  void SetIndent(TEnumType value);
  bool DrawLines() const { return DrawLines_; }
  void SetDrawLines(bool value) { DrawLines_ = value; }
  toolkit::TColor DrawLineColor() const { return DrawLineColor_; }
  void SetDrawLineColor(toolkit::TColor value) { DrawLineColor_ = value; }
  // The offset of the text column in itab layout. Changing it measures every
  // entry again, since the text column's width changes with it.
  int PosIndent() const { return PosIndent_; }
  void SetPosIndent(int value);
  toolkit::TColor TitleFontColor() const { return TitleFontColor_; }
  void SetTitleFontColor(toolkit::TColor value) { TitleFontColor_ = value; }
  toolkit::TFontStyles TitleFontStyle() const { return TitleFontStyle_; }
  void SetTitleFontStyle(toolkit::TFontStyles value) { TitleFontStyle_ = value; }
  // The height of one text line as the latest measure step found it; 0 before.
  int LineHeight() const { return LineHeight_; }
  // Turns the formatting of titles and texts into styles; none shows them as
  // they are. Setting it measures every entry again.
  void SetStyler(TTextStyler styler);

  // An entry as it is read aloud, "title: text", and as it is copied, "title
  // text"; an entry without a title is its text. The styler takes the
  // formatting out of both.
  std::string ItemText(int Index) const override;
  std::string ItemCopyText(int Index) const override;

  void MeasureItem(toolkit::TCanvas& canvas, int Index, int& Height) override;
  void DrawItem(toolkit::TCanvas& canvas, int Index, const toolkit::TRect& Rect,
                toolkit::TOwnerDrawState State) override;

 private:
  std::string JoinedText(int Index, bool read) const;
  // Draws the title at the top left of the entry in the title's colour and
  // style, then gives the canvas back `font`.
  void DrawTitle(toolkit::TCanvas& canvas, const toolkit::TRect& Rect, const toolkit::TFont& font,
                 std::string_view title_text);
  // Wraps the text into the scratch lines, styled when it carries formatting;
  // gives the number of lines.
  int Wrap(toolkit::TCanvas& canvas, std::string_view text, int width);
  // Draws scratch line `k` with its top left corner at (x, y).
  void DrawLine(toolkit::TCanvas& canvas, int x, int y, std::size_t k);
  // Text as it stands, or drawn styled at (x, y).
  void DrawText(toolkit::TCanvas& canvas, int x, int y, std::string_view text);
  bool Styled(std::string_view text) const { return Styler_ && NeedsStyler(text); }

  TEnumType Indent_ = inone;
  int PosIndent_ = 0;
  TTextStyler Styler_;
  // Scratch lines of the entry being measured or drawn: styled ones when its
  // text carries formatting.
  std::vector<std::string> WrapLines_;
  std::vector<TStyledText> StyledLines_;
  bool WrappedStyled_ = false;
  int LineHeight_ = 0;
  toolkit::TColor TitleFontColor_ = toolkit::clBlack;
  toolkit::TColor DrawLineColor_ = toolkit::clBlack;
  toolkit::TFontStyles TitleFontStyle_ = 0;
  bool DrawLines_ = false;
};

}  // namespace il
