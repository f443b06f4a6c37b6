// Fonts and colours of the components as Qt sees them.
#include "platform/toolkit/qt_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace toolkit {

namespace {

bool IsFixedPitchName(const std::string& name) {
  return name == "Terminal";
}

// The system's fixed-pitch family, for fixed names and the monospace style.
const QFont& FixedPitchFont() {
  static const QFont fixed = [] {
    QFont font;
    font.setFamilies({"DejaVu Sans Mono", "Monospace"});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
  }();
  return fixed;
}

// Family and hint for a font name, looked up once per name (the font
// database is slow to ask). Fonts are made on the GUI thread only.
const QFont& FamilyFont(const std::string& name) {
  static std::map<std::string, QFont> families;
  auto found = families.find(name);
  if (found != families.end()) return found->second;
  QFont font;
  const QString family = QString::fromStdString(name);
  if (!name.empty() && QFontDatabase::hasFamily(family)) {
    font.setFamily(family);
  } else if (IsFixedPitchName(name)) {
    font = FixedPitchFont();
  } else {
    font.setFamilies({"DejaVu Sans", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
  }
  return families.emplace(name, font).first->second;
}

}  // namespace

QFont ToQFont(const TFont& font) {
  QFont result = (font.Style & fsMonospace) != 0 ? FixedPitchFont() : FamilyFont(font.Name);
  result.setBold((font.Style & fsBold) != 0);
  result.setItalic((font.Style & fsItalic) != 0);
  result.setUnderline((font.Style & fsUnderline) != 0);
  result.setStrikeOut((font.Style & fsStrikeOut) != 0);
  if (font.Height < 0) {
    result.setPixelSize(-font.Height);
  } else if (font.Height > 0) {
    // A positive height is the whole cell: scale the character height to fit.
    result.setPixelSize(font.Height);
    const int cell = QFontMetrics(result).height();
    if (cell > 0) {
      result.setPixelSize(
          std::max(1, static_cast<int>(std::lround(1.0 * font.Height * font.Height / cell))));
    }
  }
  return result;
}

QColor ToQColor(TColor color, const QPalette& palette) {
  if (IsSystemColor(color)) {
    switch (color) {
      case clWindow:
        return palette.color(QPalette::Base);
      case clHighlight:
        return palette.color(QPalette::Highlight);
      case clHighlightText:
        return palette.color(QPalette::HighlightedText);
      default:
        return palette.color(QPalette::Text);
    }
  }
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF),
                static_cast<int>(color >> 16 & 0xFF));
}

}  // namespace toolkit
