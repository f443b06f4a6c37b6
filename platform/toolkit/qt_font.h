// Fonts and colours of the components as Qt sees them. Font names the system
// lacks map to the nearest installed font at the same pixel height: a fixed
// font for the names known to be fixed-pitch, a sans font for any other. The
// monospace style takes that fixed font whatever the name.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include "platform/toolkit/color.h"
#include "platform/toolkit/font.h"

namespace toolkit {

// Needs a QGuiApplication (the font database).
QFont ToQFont(const TFont& font);
QColor ToQColor(TColor color, const QPalette& palette);

}  // namespace toolkit
