// Bytes written as text that reads back to them. The escapes \r \n \t \0,
// \xNN with two hex digits, and \\ for a backslash: the Send bytes entry reads
// them, and the saved raw log is written with them, so that a saved line read
// back gives the bytes that crossed the wire. The raw log shows its lines with
// control characters as their pictures instead, which read back as well.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bytes {

struct TUnescapedBytes {
  std::string Bytes;
  // The first bad escape as written ("\q", "\x4", a lone "\" at the end),
  // empty when every escape was good; and the character it starts at,
  // counted from 1.
  std::string BadEscape;
  std::size_t BadColumn = 0;
  bool Ok() const { return BadEscape.empty(); }
};

// The bytes that UTF-8 `text` stands for: its own bytes, each escape replaced
// by the byte it names.
TUnescapedBytes UnescapeBytes(std::string_view text);

// Appends `bytes` as text that UnescapeBytes reads back to them: well-formed
// UTF-8 other than control characters stays as it is, a backslash becomes \\,
// CR, LF, tab and NUL their letters, and any other control byte, DEL, byte
// that is not part of well-formed UTF-8, or byte of a character that other
// programs take for a line break (C1 controls, U+2028, U+2029) becomes \xNN.
void AppendEscapedBytes(std::string_view bytes, std::string& text);

// Appends `bytes` as UTF-8 that shows what they are, and that reads back to
// them: a backslash shows as \\, a control character as its picture (U+2400 +
// code, U+2421 for DEL), and any byte that is not part of well-formed UTF-8,
// or that begins a picture the bytes hold themselves, as \xNN; other UTF-8
// stays.
void AppendVisibleBytes(std::string_view bytes, std::string& text);

// The picture of a control character (below 0x20, or DEL), in UTF-8.
void AppendControlPicture(unsigned char control, std::string& text);

}  // namespace bytes
