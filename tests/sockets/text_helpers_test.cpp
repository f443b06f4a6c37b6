// The layer's small text helpers: numeric ports and token cutting.
#include <gtest/gtest.h>

#include <string>

#include "sockets/text_helpers.h"

namespace sockets_test {
namespace {

TEST(IsNumeric, ThirtyTwoBitIntegersOtherThanMinusOne) {
  struct Case {
    std::string text;
    bool numeric;
  };
  const Case cases[] = {
      {"6667", true},        {"0", true},           {"  6667", true},       {"+5", true},
      {"-5", true},          {"$1a0B", true},       {"-$10", true},         {"2147483647", true},
      {"-2147483648", true}, {"$FFFFFFFE", true},   {"-1", false},          {"$FFFFFFFF", false},
      {"-$1", false},        {"ircd", false},       {"6667 ", false},       {"12a", false},
      {"0x10", false},       {"2147483648", false}, {"-2147483649", false}, {"$100000000", false},
      {"", false},           {"  ", false},         {"+", false},           {"$", false},
      {"\t5", false},        {"- 5", false},
  };
  for (const Case& c : cases) EXPECT_EQ(sockets::IsNumeric(c.text), c.numeric) << c.text;
}

TEST(TrimSet, StripsSetCharactersAtBothEnds) {
  struct Case {
    std::string chars, text, trimmed;
  };
  const Case cases[] = {
      {".", "..a.b..", "a.b"}, {" ", "  x y ", "x y"}, {"ab", "abba", ""},
      {"", " x ", " x "},      {".", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sockets::TrimSet(c.chars, c.text), c.trimmed) << c.chars << "|" << c.text;
  }
}

TEST(NextToken, CutsAtTheFirstDelimiter) {
  struct Case {
    std::string delimiters, source, token, rest;
  };
  const Case cases[] = {
      {".", "192.168.1.2", "192", "168.1.2"}, {".", "2", "2", ""},         {".", "", "", ""},
      {".", "..10..20.", "", "10..20"},       {".", "10..20", "10", "20"}, {" ,", "a, b", "a", "b"},
  };
  for (const Case& c : cases) {
    std::string source = c.source;
    std::string token = "old";
    sockets::NextToken(c.delimiters, source, token);
    EXPECT_EQ(token, c.token) << c.source;
    EXPECT_EQ(source, c.rest) << c.source;
  }
}

}  // namespace
}  // namespace sockets_test
