// TRawLineFilter: a case-blind search of the shown line.
#include "Unit1/raw_log_filter.h"

#include <string.h>

#include <algorithm>

namespace unit1 {

namespace {

// Copies the bytes into `lower` with ASCII letters in lower case; true when
// every byte shows as itself (see AppendVisibleBytes). One pass with no
// branch, which the compiler turns into vector instructions.
bool LowerPlain(std::string_view bytes, std::string& lower) {
  lower.resize(bytes.size());
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  auto* out = reinterpret_cast<unsigned char*>(lower.data());
  unsigned char other = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = in[i];
    other |= static_cast<unsigned char>(c < 0x20) | static_cast<unsigned char>(c >= 0x7F) |
             static_cast<unsigned char>(c == '\\');
    out[i] = static_cast<unsigned char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0));
  }
  return other == 0;
}

bool IsPlain(std::string_view text) {
  std::string lower;
  return LowerPlain(text, lower);
}

// What "hh:mm:ss.mmm < " is made of.
constexpr std::string_view kClockCharacters = "0123456789:. <>=-";

}  // namespace

TRawLineFilter::TRawLineFilter(const QString& text)
    : text_(text),
      ascii_(std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
  if (!ascii_) {
    plain_ = false;
    return;
  }
  lower_ = text.toLower().toStdString();
  plain_ = IsPlain(lower_);
  may_start_before_bytes_ =
      !lower_.empty() && kClockCharacters.find(lower_.front()) != std::string_view::npos;
}

bool TRawLineFilter::Matches(const TRawLine& line) {
  if (text_.isEmpty()) return true;
  if (plain_ && LowerPlain(line.Bytes, lowered_)) {
    if (Holds(lowered_)) return true;
    if (!may_start_before_bytes_) return false;
    // Across the clock and direction into the first bytes.
    ShowRawLine({line.Time, line.Direction, line.Bytes.substr(0, lower_.size() - 1)}, shown_);
  } else {
    ShowRawLine(line, shown_);
  }
  if (!ascii_) return QString::fromUtf8(shown_).contains(text_, Qt::CaseInsensitive);
  LowerPlain(shown_, lowered_);
  return Holds(lowered_);
}

bool TRawLineFilter::Holds(std::string_view lowered) const {
  return memmem(lowered.data(), lowered.size(), lower_.data(), lower_.size()) != nullptr;
}

}  // namespace unit1
