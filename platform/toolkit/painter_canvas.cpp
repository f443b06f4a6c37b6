// The canvas on screen: Qt's font metrics and a QPainter.
#include "platform/toolkit/painter_canvas.h"

#include <QPainter>
#include <QPen>
#include <map>
#include <tuple>

#include "platform/toolkit/qt_font.h"
#include "platform/toolkit/text_codec.h"

namespace toolkit {

TPainterCanvas::TPainterCanvas(QPainter* painter, const QPalette& palette)
    : painter_(painter), palette_(palette) {}

namespace {

// Fonts that differ only in colour measure and render alike.
bool SameShape(const TFont& a, const TFont& b) {
  return a.Name == b.Name && a.Height == b.Height && a.Style == b.Style;
}

// Shaping a text to measure it is slow, and the same texts are measured again
// and again (wrapping an entry measures it, drawing it measures its lines, each
// repaint does so once more), so every width is kept per font shape. The bound
// holds for all shapes together: with one bound each, the many shapes that
// formatting combines would each fill up slowly, and memory would creep up
// for hours. The GUI thread alone measures.
constexpr std::size_t kWidthsKept = 8192;

// Styles a canvas keeps the metrics of; more than a text uses at a time.
constexpr std::size_t kShapesKept = 16;

using TAllWidths = std::map<std::tuple<std::string, int, TFontStyles>, TPainterCanvas::TWidths>;

TAllWidths& AllWidths() {
  static TAllWidths widths;
  return widths;
}

// The widths kept across all shapes.
std::size_t& WidthsKept() {
  static std::size_t kept = 0;
  return kept;
}

TPainterCanvas::TWidths& WidthsOf(const TFont& font) {
  return AllWidths()[{font.Name, font.Height, font.Style}];
}

void KeepWidth(TPainterCanvas::TWidths& widths, std::string_view text, int width) {
  if (WidthsKept() >= kWidthsKept) {
    // The shapes' maps stay, emptied: canvases hold on to them.
    for (auto& [shape, kept] : AllWidths()) kept.clear();
    WidthsKept() = 0;
  }
  widths.emplace(text, width);
  ++WidthsKept();
}

}  // namespace

TPainterCanvas::TShape& TPainterCanvas::Shape() {
  if (shape_ < shapes_.size() && SameShape(shapes_[shape_].font, Font())) return shapes_[shape_];
  for (shape_ = 0; shape_ < shapes_.size(); ++shape_) {
    if (SameShape(shapes_[shape_].font, Font())) return shapes_[shape_];
  }
  if (shapes_.size() >= kShapesKept) shapes_.clear();
  const QFont qfont = ToQFont(Font());
  shapes_.push_back({Font(), qfont, QFontMetrics(qfont), &WidthsOf(Font())});
  shape_ = shapes_.size() - 1;
  return shapes_.back();
}

std::size_t TPainterCanvas::KeptWidths() {
  return WidthsKept();
}

int TPainterCanvas::TextWidth(std::string_view text) {
  return WidthOf(text, [text] { return DisplayText(text); });
}

template <typename Shown>
int TPainterCanvas::WidthOf(std::string_view text, const Shown& shown) {
  TShape& shape = Shape();
  TWidths& widths = *shape.widths;
  const auto kept = widths.find(text);
  if (kept != widths.end()) return kept->second;
  const int width = shape.metrics.horizontalAdvance(shown());
  KeepWidth(widths, text, width);
  return width;
}

int TPainterCanvas::TextHeight(std::string_view) {
  return Metrics().height();
}

void TPainterCanvas::TextOut(int x, int y, std::string_view text) {
  if (painter_ == nullptr) return;
  const QString shown = DisplayText(text);
  const TShape& shape = Shape();
  if (BrushStyle() == TBrushStyle::bsSolid) {
    const int width = WidthOf(text, [&shown]() -> const QString& { return shown; });
    painter_->fillRect(QRect(x, y, width, shape.metrics.height()),
                       ToQColor(BrushColor(), palette_));
  }
  painter_->setFont(shape.qfont);
  painter_->setPen(ToQColor(Font().Color, palette_));
  painter_->drawText(x, y + shape.metrics.ascent(), shown);
}

void TPainterCanvas::FillRect(const TRect& rect) {
  if (painter_ == nullptr) return;
  painter_->fillRect(QRect(QPoint(rect.Left, rect.Top), QPoint(rect.Right - 1, rect.Bottom - 1)),
                     ToQColor(BrushColor(), palette_));
}

void TPainterCanvas::MoveTo(int x, int y) {
  pen_position_ = QPoint(x, y);
}

void TPainterCanvas::LineTo(int x, int y) {
  const QPoint from = pen_position_;
  pen_position_ = QPoint(x, y);
  if (painter_ == nullptr || from == pen_position_) return;
  // A one-pixel line with a flat cap leaves out its end point.
  QPen pen(ToQColor(PenColor(), palette_), 1);
  pen.setCapStyle(Qt::FlatCap);
  painter_->setPen(pen);
  painter_->drawLine(from, pen_position_);
}

}  // namespace toolkit
