// Finding the characters of a byte string that may or may not be UTF-8.
#pragma once

#include <cstddef>
#include <string_view>

namespace bytes {

// Length (1 to 4) of the well-formed UTF-8 sequence that starts at `pos`, or 0
// when none does there (a stray continuation byte, an overlong form, a
// surrogate, a code point above U+10FFFF, a sequence cut short) or pos is at
// the end.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// Length of the character at `pos` for cutting text: a well-formed UTF-8
// sequence is one character, any other byte is a character of its own.
// 0 only at the end of the text.
std::size_t CharLength(std::string_view text, std::size_t pos);

// The characters of `text` as CharLength cuts them.
std::size_t CharCount(std::string_view text);

bool IsValidUtf8(std::string_view text);

}  // namespace bytes
