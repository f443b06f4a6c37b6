// Received bytes shown as UTF-8 when valid, else as Windows-1252.
#include "platform/toolkit/text_codec.h"

#include <gtest/gtest.h>

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

}  // namespace
