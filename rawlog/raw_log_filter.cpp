// TRawLineFilter: a case-blind search of the shown line.
#include "rawlog/raw_log_filter.h"

#include <string.h>

#include <algorithm>
#include <utility>

#include "rawlog/raw_line_text.h"

namespace rawlog {

namespace {

// Copies the bytes into `lower` with ASCII letters in lower case; true when
// every byte shows as itself (see bytes::AppendVisibleBytes). One pass with no
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

// What "hh:mm:ss.mmm < " is made of.
constexpr std::string_view kClockCharacters = "0123456789:. <>=-";

}  // namespace

TRawLineFilter::TRawLineFilter(std::string text, THoldsIgnoringCase holds)
    : text_(std::move(text)),
      holds_(std::move(holds)),
      ascii_(std::all_of(text_.begin(), text_.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
  if (!ascii_) {
    plain_ = false;
    lower_ = text_;
    return;
  }
  plain_ = LowerPlain(text_, lower_);
  may_start_before_bytes_ =
      !lower_.empty() && kClockCharacters.find(lower_.front()) != std::string_view::npos;
}

bool TRawLineFilter::Matches(const TRawLine& line) {
  if (text_.empty()) return true;
  if (plain_ && LowerPlain(line.Bytes, lowered_)) {
    if (Holds(lowered_)) return true;
    if (!may_start_before_bytes_) return false;
    // Across the clock and direction into the first bytes.
    ShowRawLine({line.Time, line.Direction, line.Bytes.substr(0, lower_.size() - 1)}, shown_);
  } else {
    ShowRawLine(line, shown_);
  }
  if (!ascii_) return holds_ ? holds_(shown_) : Holds(shown_);
  LowerPlain(shown_, lowered_);
  return Holds(lowered_);
}

bool TRawLineFilter::Holds(std::string_view lowered) const {
  return memmem(lowered.data(), lowered.size(), lower_.data(), lower_.size()) != nullptr;
}

}  // namespace rawlog
