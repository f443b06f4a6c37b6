// Feeds arbitrary bytes to the byte escapes and checks what the saved raw log
// and the Send bytes entry rely on: any bytes escaped read back as themselves,
// in UTF-8 text without a control character; any text read either gives bytes
// that escape and read back the same, or names a bad escape inside it; and
// bytes shown visibly are UTF-8 too.
#include <cstdint>
#include <string>
#include <string_view>

#include "bytes/byte_escapes.h"
#include "bytes/utf8.h"
#include "fuzz/fuzz_checks.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  std::string escaped;
  bytes::AppendEscapedBytes(input, escaped);
  Require(bytes::IsValidUtf8(escaped));
  for (const char c : escaped) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
  const bytes::TUnescapedBytes read = bytes::UnescapeBytes(escaped);
  Require(read.Ok() && read.Bytes == input);

  const bytes::TUnescapedBytes typed = bytes::UnescapeBytes(input);
  if (typed.Ok()) {
    std::string again;
    bytes::AppendEscapedBytes(typed.Bytes, again);
    Require(bytes::UnescapeBytes(again).Bytes == typed.Bytes);
  } else {
    Require(typed.BadEscape.front() == '\\');
    Require(typed.BadColumn >= 1 && typed.BadColumn <= bytes::CharCount(input));
    Require(input.find(typed.BadEscape) != std::string_view::npos);
  }

  std::string shown;
  bytes::AppendVisibleBytes(input, shown);
  Require(bytes::IsValidUtf8(shown));
  return 0;
}
