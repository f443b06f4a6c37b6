// The byte escapes both ways, and the visible bytes of the raw log.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "bytes/byte_escapes.h"

namespace bytes {
namespace {

using namespace std::string_literals;

// Every byte value reads back from the escapes the raw log writes
// (tests/rawlog, the saved lines); here hex digits in either case, and the
// first bad escape named with its column, counted in characters.
TEST(ByteEscapes, ReadsEachEscapeToItsByteAndNamesTheFirstBadOne) {
  const struct {
    std::string_view text;
    std::string bytes;       // when every escape is good
    std::string bad_escape;  // else the first bad one, at `column`
    std::size_t column;
  } cases[] = {
      {R"(\x41\x7f\xFF\x00)", "A\x7F\xFF\0"s, "", 0},
      {R"(\q)", "", R"(\q)", 1},
      {R"(\r\R)", "", R"(\R)", 3},
      {R"(ab\x4)", "", R"(\x4)", 3},
      {R"(\x4g\q)", "", R"(\x4)", 1},
      {R"(\xg1)", "", R"(\x)", 1},
      {R"(\x)", "", R"(\x)", 1},
      {"\xC3\xA9\\\xC3\xA9", "", "\\\xC3\xA9", 2},
      {R"(ok\)", "", R"(\)", 3},
  };
  for (const auto& c : cases) {
    const TUnescapedBytes read = UnescapeBytes(c.text);
    EXPECT_EQ(read.BadEscape, c.bad_escape) << c.text;
    EXPECT_EQ(read.BadColumn, c.column) << c.text;
    EXPECT_EQ(read.Ok() ? read.Bytes : "", c.bytes) << c.text;
  }
  std::string shown;
  AppendEscapedBytes("a\\b\r\n\x01 caf\xC3\xA9 caf\xE9", shown);
  EXPECT_EQ(shown, R"(a\\b\r\n\x01 café caf\xE9)") << "UTF-8 stays readable";
  // Line breaks to other readers of the file (NEL, a C1 control, U+2028,
  // U+2029) are escaped; the characters beside them (NBSP, U+2027) are not.
  const std::string breaks = "a\xC2\x85|\xE2\x80\xA8|\xE2\x80\xA9|\xC2\x9F|\xC2\xA0\xE2\x80\xA7";
  shown.clear();
  AppendEscapedBytes(breaks, shown);
  EXPECT_EQ(shown, R"(a\xC2\x85|\xE2\x80\xA8|\xE2\x80\xA9|\xC2\x9F|)"
                   "\xC2\xA0\xE2\x80\xA7");
  EXPECT_EQ(UnescapeBytes(shown).Bytes, breaks);
}

// What the raw log shows: control characters as their pictures, and whatever
// would not read back as \xNN.
TEST(VisibleBytes, ShowsEveryByteSoThatItReadsBack) {
  const struct {
    std::string_view bytes;
    std::string shown;
  } cases[] = {
      {"PRIVMSG #a :hi", "PRIVMSG #a :hi"},
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"\002bold\017 \00304red", "\u2402bold\u240F \u240304red"},
      {std::string_view("a\0b", 3), "a\u2400b"},
      {"tab\there\x7F", "tab\u2409here\u2421"},
      {"\001ACTION waves\001", "\u2401ACTION waves\u2401"},
      {"latin1 caf\xE9!", "latin1 caf\\xE9!"},
      {"cut \xE2\x82", "cut \\xE2\\x82"},
      {"\xC0\xAF overlong", "\\xC0\\xAF overlong"},
      {"\xFF\xFE", "\\xFF\\xFE"},
      // Read back, a shown line gives its bytes: a backslash is doubled, and
      // a control picture the line holds itself is no control character.
      {"C:\\x41", "C:\\\\x41"},
      {"\xE2\x90\x82 \xE2\x90\xA1", "\\xE2\\x90\\x82 \\xE2\\x90\\xA1"},
  };
  for (const auto& c : cases) {
    std::string shown;
    AppendVisibleBytes(c.bytes, shown);
    EXPECT_EQ(shown, c.shown) << c.shown;
  }
}

}  // namespace
}  // namespace bytes
