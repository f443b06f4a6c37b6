// The escapes that write any bytes as text, both ways: \r \n \t \0, \xNN with
// two hex digits, and \\ for a backslash. The Send bytes entry reads them, and
// the saved raw log is written with them, so that a saved line read back gives
// the bytes that crossed the wire.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace unit1 {

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
// CR, LF, tab and NUL their letters, and any other control byte, DEL, or byte
// that is not part of well-formed UTF-8 becomes \xNN.
void AppendEscapedBytes(std::string_view bytes, std::string& text);

}  // namespace unit1
