// The byte escapes, read and written.
#include "Unit1/byte_escapes.h"

#include "platform/toolkit/utf8.h"

namespace unit1 {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr unsigned char kDelete = 0x7F;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::size_t ColumnOf(std::string_view text, std::size_t pos) {
  std::size_t column = 1;
  for (std::size_t at = 0; at < pos; at += toolkit::CharLength(text, at)) ++column;
  return column;
}

// The bad escape at `pos` as written: the backslash with the character after
// it, and for \x the hex digits that did follow.
TUnescapedBytes BadEscapeAt(std::string_view text, std::size_t pos) {
  std::size_t end = pos + 1;
  if (end < text.size()) {
    end += toolkit::CharLength(text, end);
    if (text[pos + 1] == 'x' && end < text.size() && HexValue(text[end]) >= 0) ++end;
  }
  return TUnescapedBytes{{}, std::string(text.substr(pos, end - pos)), ColumnOf(text, pos)};
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
    switch (letter) {
      case 'r':
        result.Bytes += '\r';
        break;
      case 'n':
        result.Bytes += '\n';
        break;
      case 't':
        result.Bytes += '\t';
        break;
      case '0':
        result.Bytes += '\0';
        break;
      case '\\':
        result.Bytes += '\\';
        break;
      case 'x': {
        const int high = pos + 2 < text.size() ? HexValue(text[pos + 2]) : -1;
        const int low = pos + 3 < text.size() ? HexValue(text[pos + 3]) : -1;
        if (high < 0 || low < 0) return BadEscapeAt(text, pos);
        result.Bytes += char(high * 16 + low);
        pos += 2;
        break;
      }
      default:
        return BadEscapeAt(text, pos);
    }
    ++pos;
  }
  return result;
}

void AppendEscapedBytes(std::string_view bytes, std::string& text) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[pos]);
    const std::size_t length = toolkit::Utf8SequenceLength(bytes, pos);
    switch (byte) {
      case '\\':
        text += "\\\\";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\t':
        text += "\\t";
        break;
      case '\0':
        text += "\\0";
        break;
      default:
        if (length > 1 || (length == 1 && byte >= 0x20 && byte != kDelete)) {
          text.append(bytes.substr(pos, length));
          pos += length;
          continue;
        }
        text += "\\x";
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0xF];
    }
    ++pos;
  }
}

}  // namespace unit1
