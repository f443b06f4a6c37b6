// Text at the boundary between byte strings and the widgets' Unicode.
#include "platform/toolkit/text_codec.h"

#include <array>
#include <cstddef>

#include "bytes/utf8.h"

namespace toolkit {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five bytes the code page leaves
// undefined keep their own value (C1 controls), so that nothing is lost.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromWindows1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const bool high_control = byte >= 0x80 && byte <= 0x9F;
    text.append(QChar(high_control ? kHighControls[byte - 0x80] : char16_t{byte}));
  }
  return text;
}

}  // namespace

QString DisplayText(std::string_view bytes) {
  if (bytes::IsValidUtf8(bytes)) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  return FromWindows1252(bytes);
}

std::string TypedText(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace toolkit
