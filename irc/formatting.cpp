// The formatting codes of IRC text: one pass over the bytes, keeping the style
// in force and the column of the plain text for tabs.
#include "irc/formatting.h"

#include <ostream>

#include "bytes/byte_escapes.h"
#include "bytes/hex_digits.h"
#include "bytes/utf8.h"

namespace irc {

namespace {

constexpr char kBold = 0x02;
constexpr char kColour = 0x03;
constexpr char kHexColour = 0x04;
constexpr char kReset = 0x0F;
constexpr char kMonospace = 0x11;
constexpr char kReverse = 0x16;
constexpr char kItalic = 0x1D;
constexpr char kStrike = 0x1E;
constexpr char kUnderline = 0x1F;
constexpr char kDelete = 0x7F;
constexpr std::size_t kTabStop = 8;

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == kDelete;
}

// A colour read at `pos`, which moves past it; nothing when none stands there.
using TColourReader = std::optional<TTextColour> (*)(std::string_view text, std::size_t& pos);

// One or two decimal digits: two are always taken when there are two.
std::optional<TTextColour> ReadColourCode(std::string_view text, std::size_t& pos) {
  int code = 0;
  std::size_t end = pos;
  while (end < text.size() && end - pos < 2 && text[end] >= '0' && text[end] <= '9') {
    code = code * 10 + (text[end++] - '0');
  }
  if (end == pos) return std::nullopt;
  pos = end;
  return ColourOfCode(code);
}

// Exactly six hex digits, RRGGBB.
std::optional<TTextColour> ReadHexColour(std::string_view text, std::size_t& pos) {
  std::uint8_t channels[3] = {};
  if (text.size() - pos < 6) return std::nullopt;
  for (std::size_t i = 0; i < 6; i += 2) {
    const int high = bytes::HexValue(text[pos + i]);
    const int low = bytes::HexValue(text[pos + i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channels[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
  }
  pos += 6;
  return TRgb{channels[0], channels[1], channels[2]};
}

// A colour code without a colour resets both colours; a comma not followed by
// a colour is text.
void ReadColours(std::string_view text, std::size_t& pos, TColourReader read, TTextStyle& style) {
  const std::optional<TTextColour> foreground = read(text, pos);
  if (!foreground) {
    style.Foreground.reset();
    style.Background.reset();
    return;
  }
  style.Foreground = *foreground;
  if (pos >= text.size() || text[pos] != ',') return;
  std::size_t after_comma = pos + 1;
  if (const std::optional<TTextColour> background = read(text, after_comma)) {
    style.Background = *background;
    pos = after_comma;
  }
}

class TRunBuilder {
 public:
  TTextStyle style;

  void Append(std::string_view text, std::size_t chars) {
    if (text.empty()) return;
    if (runs_.empty() || runs_.back().Style != style) runs_.push_back({std::string(), style});
    runs_.back().Text += text;
    column_ += chars;
  }
  void AppendTab() {
    const std::size_t blanks = kTabStop - column_ % kTabStop;
    Append(std::string(blanks, ' '), blanks);
  }
  void AppendSymbol(char control) {
    std::string symbol;
    bytes::AppendControlPicture(static_cast<unsigned char>(control), symbol);
    Append(symbol, 1);
  }
  std::vector<TFormattedRun> Take() { return std::move(runs_); }

 private:
  std::vector<TFormattedRun> runs_;
  std::size_t column_ = 0;
};

}  // namespace

std::vector<TFormattedRun> FormattedRuns(std::string_view text) {
  TRunBuilder builder;
  TTextStyle& style = builder.style;
  for (std::size_t pos = 0; pos < text.size();) {
    if (!IsControl(text[pos])) {
      std::size_t end = pos;
      while (end < text.size() && !IsControl(text[end])) ++end;
      const std::string_view plain = text.substr(pos, end - pos);
      builder.Append(plain, bytes::CharCount(plain));
      pos = end;
      continue;
    }
    const char code = text[pos++];
    switch (code) {
      case kBold:
        style.Bold = !style.Bold;
        break;
      case kItalic:
        style.Italic = !style.Italic;
        break;
      case kUnderline:
        style.Underline = !style.Underline;
        break;
      case kStrike:
        style.Strike = !style.Strike;
        break;
      case kMonospace:
        style.Monospace = !style.Monospace;
        break;
      case kReverse:
        style.Reverse = !style.Reverse;
        break;
      case kReset:
        style = TTextStyle();
        break;
      case kColour:
        ReadColours(text, pos, ReadColourCode, style);
        break;
      case kHexColour:
        ReadColours(text, pos, ReadHexColour, style);
        break;
      case '\t':
        builder.AppendTab();
        break;
      default:
        builder.AppendSymbol(code);
        break;
    }
  }
  return builder.Take();
}

std::string PlainText(std::string_view text) {
  if (!HasControlBytes(text)) return std::string(text);
  std::string plain;
  for (const TFormattedRun& run : FormattedRuns(text)) plain += run.Text;
  return plain;
}

bool HasControlBytes(std::string_view text) {
  for (const char c : text) {
    if (IsControl(c)) return true;
  }
  return false;
}

std::ostream& operator<<(std::ostream& out, const TFormattedRun& run) {
  out << '"' << run.Text << '"';
  const TTextStyle& style = run.Style;
  const std::pair<bool, const char*> flags[] = {
      {style.Bold, "bold"},     {style.Italic, "italic"},       {style.Underline, "underline"},
      {style.Strike, "strike"}, {style.Monospace, "monospace"}, {style.Reverse, "reverse"}};
  for (const auto& [set, name] : flags) {
    if (set) out << ' ' << name;
  }
  const auto colour = [&out](const char* name, const TTextColour& value) {
    if (!value) return;
    out << ' ' << name << '=' << int{value->Red} << ',' << int{value->Green} << ','
        << int{value->Blue};
  };
  colour("fg", style.Foreground);
  colour("bg", style.Background);
  return out;
}

}  // namespace irc
