// The drawing surface that owner-drawn controls measure and paint on: text
// measuring and opaque text, filled rectangles, a pen for lines, and a font
// whose colour and style can be changed. Texts are byte strings; how bytes
// become characters is the implementation's business.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/toolkit/color.h"
#include "platform/toolkit/font.h"

namespace toolkit {

// A rectangle by its edges; Right and Bottom lie just outside it.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// A solid brush fills behind drawn text; a clear one leaves what is there.
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };

class TCanvas {
 public:
  virtual ~TCanvas() = default;

  // Width and height of the text in the current font, in pixels.
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
  // Draws the text with its top left corner at (x, y) in the font's colour,
  // on a background of the brush colour (opaque text) unless the brush is
  // clear.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual void FillRect(const TRect& rect) = 0;
  // Draws a line from the pen position to (x, y), the end point not drawn,
  // and leaves the pen at (x, y).
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) { font_ = font; }
  TColor BrushColor() const { return brush_color_; }
  void SetBrushColor(TColor color) { brush_color_ = color; }
  TBrushStyle BrushStyle() const { return brush_style_; }
  void SetBrushStyle(TBrushStyle style) { brush_style_ = style; }
  TColor PenColor() const { return pen_color_; }
  void SetPenColor(TColor color) { pen_color_ = color; }

 private:
  TFont font_;
  TColor brush_color_ = clWindow;
  TBrushStyle brush_style_ = TBrushStyle::bsSolid;
  TColor pen_color_ = clWindowText;
};

}  // namespace toolkit
