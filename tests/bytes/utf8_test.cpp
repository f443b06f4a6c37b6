// The one UTF-8 rule: well-formed sequences only.
#include "bytes/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace bytes {
namespace {

TEST(Utf8SequenceLength, WellFormedOnly) {
  const std::pair<std::string, std::size_t> valid[] = {{"a", 1},
                                                       {"\xC2\x80", 2},
                                                       {"\xDF\xBF", 2},
                                                       {"\xE0\xA0\x80", 3},
                                                       {"\xED\x9F\xBF", 3},
                                                       {"\xF0\x90\x80\x80", 4},
                                                       {"\xF4\x8F\xBF\xBF", 4}};
  for (const auto& [bytes, length] : valid) {
    EXPECT_EQ(Utf8SequenceLength(bytes, 0), length) << testing::PrintToString(bytes);
  }
  for (const std::string bytes :
       {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80", "\x80", "\xE2\x82", "\xC3x", ""}) {
    EXPECT_EQ(Utf8SequenceLength(bytes, 0), 0u) << testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace bytes
