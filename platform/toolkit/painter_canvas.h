// The canvas on screen: measures with Qt's font metrics and draws through a
// QPainter. Without a painter it only measures (for measuring list items
// outside of painting). It changes the painter's font and pen as it draws;
// whoever hands it a painter saves and restores the painter around it.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QPoint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/toolkit/canvas.h"

class QPainter;

namespace toolkit {

class TPainterCanvas : public TCanvas {
 public:
  // Widths measured in one font, kept across canvases.
  // Looked up by the text as it is given, without a copy of it.
  struct TTextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };
  using TWidths = std::unordered_map<std::string, int, TTextHash, std::equal_to<>>;

  // `painter` may be null; the palette resolves the system colours.
  TPainterCanvas(QPainter* painter, const QPalette& palette);

  // The widths kept for all font shapes together; never more than a bound.
  static std::size_t KeptWidths();

  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void TextOut(int x, int y, std::string_view text) override;
  void FillRect(const TRect& rect) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;

 private:
  // A font measured in, colour aside: styled text switches back and forth
  // between a few, each kept with its Qt font, metrics and widths.
  struct TShape {
    TFont font;
    QFont qfont;
    QFontMetrics metrics;
    TWidths* widths;
  };
  // The shape of the current font, made only when the canvas has not measured
  // in that name, height and style yet.
  TShape& Shape();
  const QFontMetrics& Metrics() { return Shape().metrics; }
  // The kept width of text, measured from shown() when it is not kept yet.
  template <typename Shown>
  int WidthOf(std::string_view text, const Shown& shown);

  QPainter* painter_;
  QPalette palette_;
  QPoint pen_position_;
  std::vector<TShape> shapes_;
  std::size_t shape_ = 0;
};

}  // namespace toolkit
