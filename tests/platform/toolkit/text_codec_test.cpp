// Received bytes shown as UTF-8 when valid, else as Windows-1252; where a UTF-8
// sequence is well-formed.
#include "platform/toolkit/text_codec.h"

#include <gtest/gtest.h>

#include "platform/toolkit/utf8.h"

namespace {

struct DisplayCase {
  std::string bytes;
  QString shown;
};

TEST(DisplayText, Utf8WhenValidElseWindows1252) {
  const DisplayCase cases[] = {
      {"hello", "hello"},
      {"", ""},
      {"caf\xC3\xA9", QString::fromUtf8("caf\xC3\xA9")},
      {"\xE2\x82\xAC \xF0\x9F\x98\x80", QString::fromUtf8("\xE2\x82\xAC \xF0\x9F\x98\x80")},
      {"caf\xE9", QString::fromUtf8("caf\xC3\xA9")},
      {"\x80\x85\x9F", QString::fromUtf8("\xE2\x82\xAC\xE2\x80\xA6\xC5\xB8")},
      // Bytes the code page leaves undefined keep their value.
      {"\x81\x9D", QString(QChar(0x81)) + QChar(0x9D)},
      // One invalid byte makes the whole text Windows-1252. Which sequences are
      // valid is the sequence length's table below.
      {"\xC3\xA9\xFF", QString::fromUtf8("\xC3\x83\xC2\xA9\xC3\xBF")},
  };
  for (const DisplayCase& c : cases) {
    EXPECT_EQ(toolkit::DisplayText(c.bytes), c.shown) << testing::PrintToString(c.bytes);
  }
}

TEST(Utf8SequenceLength, WellFormedOnly) {
  const std::pair<std::string, std::size_t> valid[] = {{"a", 1},
                                                       {"\xC2\x80", 2},
                                                       {"\xDF\xBF", 2},
                                                       {"\xE0\xA0\x80", 3},
                                                       {"\xED\x9F\xBF", 3},
                                                       {"\xF0\x90\x80\x80", 4},
                                                       {"\xF4\x8F\xBF\xBF", 4}};
  for (const auto& [bytes, length] : valid) {
    EXPECT_EQ(toolkit::Utf8SequenceLength(bytes, 0), length) << testing::PrintToString(bytes);
  }
  for (const std::string bytes :
       {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80", "\x80", "\xE2\x82", "\xC3x", ""}) {
    EXPECT_EQ(toolkit::Utf8SequenceLength(bytes, 0), 0u) << testing::PrintToString(bytes);
  }
}

}  // namespace
