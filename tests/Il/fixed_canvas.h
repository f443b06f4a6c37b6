// A canvas of fixed metrics for exact checks: every byte is the same width and
// every text the same height. It records what is drawn, with the font and
// brush in effect at the time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit/canvas.h"

namespace iltest {

struct DrawnText {
  int x, y;
  std::string text;
  toolkit::TFont font;
  toolkit::TColor brush;
};

struct DrawnLine {
  int x1, y1, x2, y2;
  toolkit::TColor pen;
};

class FixedCanvas : public toolkit::TCanvas {
 public:
  static constexpr int kByteWidth = 6;

  explicit FixedCanvas(int line_height = 13) : line_height_(line_height) {}

  int TextWidth(std::string_view text) override {
    return static_cast<int>(text.size()) * kByteWidth;
  }
  int TextHeight(std::string_view) override { return line_height_; }
  void TextOut(int x, int y, std::string_view text) override {
    texts.push_back({x, y, std::string(text), Font(), BrushColor()});
  }
  void FillRect(const toolkit::TRect& rect) override {
    fills.push_back(rect);
    fill_colors.push_back(BrushColor());
  }
  void MoveTo(int x, int y) override { pen_x_ = x, pen_y_ = y; }
  void LineTo(int x, int y) override {
    lines.push_back({pen_x_, pen_y_, x, y, PenColor()});
    MoveTo(x, y);
  }

  std::vector<DrawnText> texts;
  std::vector<toolkit::TRect> fills;
  std::vector<toolkit::TColor> fill_colors;
  std::vector<DrawnLine> lines;

 private:
  int line_height_;
  int pen_x_ = 0, pen_y_ = 0;
};

}  // namespace iltest
