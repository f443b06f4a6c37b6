// The byte escapes read, and bytes written as escaped or visible text.
#include "bytes/byte_escapes.h"

#include "bytes/hex_digits.h"
#include "bytes/utf8.h"

namespace bytes {

namespace {

constexpr unsigned char kDelete = 0x7F;
constexpr char32_t kControlPictures = 0x2400;
constexpr char32_t kDeletePicture = 0x2421;

std::size_t ColumnOf(std::string_view text, std::size_t pos) {
  return 1 + CharCount(text.substr(0, pos));
}

// The bad escape at `pos` as written: the backslash with the character after
// it, and for \x the hex digits that did follow.
TUnescapedBytes BadEscapeAt(std::string_view text, std::size_t pos) {
  std::size_t end = pos + 1;
  if (end < text.size()) {
    end += CharLength(text, end);
    if (text[pos + 1] == 'x' && end < text.size() && HexValue(text[end]) >= 0) ++end;
  }
  return TUnescapedBytes{{}, std::string(text.substr(pos, end - pos)), ColumnOf(text, pos)};
}

// Printable ASCII other than the backslash is written as itself.
bool IsPlain(unsigned char byte) {
  return byte >= 0x20 && byte < kDelete && byte != '\\';
}

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == kDelete;
}

// The UTF-8 of a control picture the bytes hold themselves, which would read
// as the control character it stands for.
bool IsControlPicture(std::string_view bytes, std::size_t pos, std::size_t length) {
  if (length != 3) return false;
  const char32_t code = char32_t(bytes[pos] & 0x0F) << 12 | char32_t(bytes[pos + 1] & 0x3F) << 6 |
                        char32_t(bytes[pos + 2] & 0x3F);
  return (code >= kControlPictures && code < kControlPictures + 0x20) || code == kDeletePicture;
}

// The bytes written as a backslash and a letter, both ways.
struct TLetterEscape {
  char Byte;
  char Letter;
};
constexpr TLetterEscape kLetterEscapes[] = {
    {'\r', 'r'}, {'\n', 'n'}, {'\t', 't'}, {'\0', '0'}, {'\\', '\\'}};

// The letter that escapes `byte`, 0 for none.
char EscapeLetter(unsigned char byte) {
  for (const TLetterEscape& escape : kLetterEscapes) {
    if (static_cast<unsigned char>(escape.Byte) == byte) return escape.Letter;
  }
  return 0;
}

// The byte a letter escape names; -1 when `letter` is none of them.
int EscapedByte(char letter) {
  for (const TLetterEscape& escape : kLetterEscapes) {
    if (escape.Letter == letter) return static_cast<unsigned char>(escape.Byte);
  }
  return -1;
}

// A C1 control (U+0080..U+009F, NEL among them) or the line and paragraph
// separators U+2028 and U+2029: other programs read them as line breaks, so a
// saved line that held one would show them a forged line.
bool IsForeignLineBreak(std::string_view bytes, std::size_t pos, std::size_t length) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  const auto next = static_cast<unsigned char>(bytes[pos + 1]);
  if (length == 2) return lead == 0xC2 && next < 0xA0;
  return length == 3 && lead == 0xE2 && next == 0x80 &&
         (static_cast<unsigned char>(bytes[pos + 2]) & 0xFE) == 0xA8;
}

enum class TControls { Escaped, Pictured };

// Both writers in one pass: they differ only in how a control byte reads.
void AppendBytesAsText(std::string_view bytes, TControls controls, std::string& text) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    // Most of a line is plain text: copied a run at a time.
    std::size_t plain = pos;
    while (plain < bytes.size() && IsPlain(static_cast<unsigned char>(bytes[plain]))) ++plain;
    text.append(bytes.substr(pos, plain - pos));
    pos = plain;
    if (pos == bytes.size()) break;
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    std::size_t length = 1;
    if (IsControl(byte) && controls == TControls::Pictured) {
      AppendControlPicture(byte, text);
    } else if (const char letter = EscapeLetter(byte); letter != 0) {
      text += '\\';
      text += letter;
    } else if (byte >= 0x80 && (length = Utf8SequenceLength(bytes, pos)) > 0 &&
               !(controls == TControls::Pictured && IsControlPicture(bytes, pos, length)) &&
               !(controls == TControls::Escaped && IsForeignLineBreak(bytes, pos, length))) {
      text.append(bytes.substr(pos, length));
    } else {
      text += "\\x";
      AppendHexByte(byte, text);
      length = 1;
    }
    pos += length;
  }
}

}  // namespace

TUnescapedBytes UnescapeBytes(std::string_view text) {
  TUnescapedBytes result;
  result.Bytes.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] != '\\') {
      result.Bytes += text[pos];
      continue;
    }
    const char letter = pos + 1 < text.size() ? text[pos + 1] : '\0';
    if (const int byte = EscapedByte(letter); byte >= 0) {
      result.Bytes += char(byte);
    } else if (letter == 'x') {
      const int high = pos + 2 < text.size() ? HexValue(text[pos + 2]) : -1;
      const int low = pos + 3 < text.size() ? HexValue(text[pos + 3]) : -1;
      if (high < 0 || low < 0) return BadEscapeAt(text, pos);
      result.Bytes += char(high * 16 + low);
      pos += 2;
    } else {
      return BadEscapeAt(text, pos);
    }
    ++pos;
  }
  return result;
}

void AppendEscapedBytes(std::string_view bytes, std::string& text) {
  AppendBytesAsText(bytes, TControls::Escaped, text);
}

void AppendVisibleBytes(std::string_view bytes, std::string& text) {
  AppendBytesAsText(bytes, TControls::Pictured, text);
}

void AppendControlPicture(unsigned char control, std::string& text) {
  // The pictures lie in U+2400..U+2421: three bytes each.
  const char32_t code = control == kDelete ? kDeletePicture : kControlPictures + control;
  text += char(0xE0 | (code >> 12));
  text += char(0x80 | ((code >> 6) & 0x3F));
  text += char(0x80 | (code & 0x3F));
}

}  // namespace bytes
