// The byte escapes of the Send bytes entry and the saved raw log.
#include "Unit1/byte_escapes.h"

#include <gtest/gtest.h>

#include "platform/toolkit/utf8.h"

namespace unit1 {
namespace {

using namespace std::string_literals;

TEST(ByteEscapes, ReadsEachEscapeToItsByte) {
  const struct {
    std::string_view text;
    std::string bytes;
  } cases[] = {
      {"PRIVMSG #a :hi", "PRIVMSG #a :hi"},
      {R"(a\r\nb)", "a\r\nb"},
      {R"(\t\0\\)", "\t\0\\"s},
      {R"(\x41\x7f\xFF\x00)", "A\x7F\xFF\0"s},
      {R"(\\x41)", "\\x41"},
      {"caf\xC3\xA9 \\r", "caf\xC3\xA9 \r"},
  };
  for (const auto& c : cases) {
    const TUnescapedBytes read = UnescapeBytes(c.text);
    EXPECT_TRUE(read.Ok()) << c.text << ": " << read.BadEscape;
    EXPECT_EQ(read.Bytes, c.bytes) << c.text;
  }
}

TEST(ByteEscapes, NamesTheFirstBadEscapeAndItsColumn) {
  const struct {
    std::string_view text;
    std::string escape;
    std::size_t column;
  } cases[] = {
      {R"(\q)", R"(\q)", 1},
      {R"(\r\R)", R"(\R)", 3},
      {R"(ab\x4)", R"(\x4)", 3},
      {R"(\x4g\q)", R"(\x4)", 1},
      {R"(\xg1)", R"(\x)", 1},
      {R"(\x)", R"(\x)", 1},
      {"\xC3\xA9\\\xC3\xA9", "\\\xC3\xA9", 2},
      {R"(ok\)", R"(\)", 3},
  };
  for (const auto& c : cases) {
    const TUnescapedBytes read = UnescapeBytes(c.text);
    EXPECT_EQ(read.BadEscape, c.escape) << c.text;
    EXPECT_EQ(read.BadColumn, c.column) << c.text;
  }
}

// Every byte value, and text that looks like escapes or control pictures.
TEST(ByteEscapes, EscapedBytesAreUtf8WithoutControlsAndReadBack) {
  std::string shown;
  AppendEscapedBytes("a\\b\r\n\x01 caf\xC3\xA9 caf\xE9", shown);
  EXPECT_EQ(shown, R"(a\\b\r\n\x01 café caf\xE9)") << "UTF-8 stays readable";

  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += char(b);
  for (const std::string& bytes : {every_byte, "\\\\x41 \xE2\x90\x80 \xF0\x9F\x98\x80"s}) {
    std::string text;
    AppendEscapedBytes(bytes, text);
    EXPECT_TRUE(toolkit::IsValidUtf8(text));
    EXPECT_EQ(text.find_first_of("\r\n\t\x7F"s + '\0'), std::string::npos) << text;
    const TUnescapedBytes read = UnescapeBytes(text);
    EXPECT_TRUE(read.Ok()) << read.BadEscape;
    EXPECT_EQ(read.Bytes, bytes) << text;
  }
}

}  // namespace
}  // namespace unit1
