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
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

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

  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void TextOut(int x, int y, std::string_view text) override;
  void FillRect(const TRect& rect) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;

 private:
  // The metrics of the current font, made again only when its name, height or
  // style changed.
  const QFontMetrics& Metrics();
  // The kept width of text, measured from shown() when it is not kept yet.
  template <typename Shown>
  int WidthOf(std::string_view text, const Shown& shown);

  QPainter* painter_;
  QPalette palette_;
  QPoint pen_position_;
  std::optional<TFont> metrics_font_;
  QFont qfont_;
  std::optional<QFontMetrics> metrics_;
  TWidths* widths_ = nullptr;
};

}  // namespace toolkit
