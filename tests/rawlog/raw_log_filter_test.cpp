// A raw log line as shown and saved, and the filter over the shown line.
#include "rawlog/raw_log_filter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "rawlog/raw_line_text.h"

namespace rawlog {
namespace {

// 2026-12-07 13:04:05.007 UTC.
constexpr std::int64_t kTime = 1796648645007;

// A line shows with its local time and direction; the filter looks in the line
// as shown, whether it takes the short way through plain bytes or shows the line
// first.
TEST(RawLineFilter, MatchesTheShownLineIgnoringCase) {
  // The shown times in UTC, whatever the machine's zone; no other test here
  // depends on the zone.
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(ShownRawLine({kTime, TRawDirection::rdReceived, "PING :x"}), "13:04:05.007 < PING :x");
  EXPECT_EQ(ShownRawLine({kTime + 993, TRawDirection::rdSent, "PONG x"}), "13:04:06.000 > PONG x");
  EXPECT_EQ(ShownRawLine({kTime, TRawDirection::rdNote, "Connected"}), "13:04:05.007 - Connected");
  const struct {
    std::string_view bytes;
    const char* filter;
    bool matches;
  } cases[] = {
      {"PRIVMSG #a :Seen That", "seen that", true},
      {"PRIVMSG #a :seen", "SEEN THAT", false},
      {"PING :x", "05.007 < pi", true},
      {"PING :x", "7 < PING :x", true},
      {"PING :x", "> PING", false},
      {"a\001b", "ab", false},
      {"a\\b", "a\\\\b", true},
      {"a\\b", "a\\b", false},
      {"caf\xE9", "caf\\xe9", true},
      {"caf\xE9", "xe9", true},
      {"tab\there", "tabhere", false},
      {"", "< ", true},
  };
  for (const auto& c : cases) {
    TRawLineFilter filter{c.filter};
    EXPECT_EQ(filter.Matches({kTime, TRawDirection::rdReceived, c.bytes}), c.matches)
        << c.bytes << " / " << c.filter;
  }
}

// Beyond ASCII, the shown line goes to the owner's case folding as a whole.
TEST(RawLineFilter, AsksTheOwnersFoldingBeyondAscii) {
  std::vector<std::string> asked;
  TRawLineFilter filter("\xC3\xA4", [&](std::string_view shown) {
    asked.emplace_back(shown);
    return shown.find("\xC3\x84") != std::string_view::npos;
  });
  EXPECT_TRUE(filter.Matches({kTime, TRawDirection::rdReceived, "\xC3\x84rger\001"}));
  EXPECT_FALSE(filter.Matches({kTime, TRawDirection::rdSent, "x"}));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_TRUE(asked[0].ends_with(" < \xC3\x84rger\u2401")) << asked[0];
  // Without one, the text is looked for as it is.
  TRawLineFilter exact("\xC3\xA4");
  EXPECT_TRUE(exact.Matches({kTime, TRawDirection::rdReceived, "\xC3\xA4"}));
  EXPECT_FALSE(exact.Matches({kTime, TRawDirection::rdReceived, "\xC3\x84"}));
}

}  // namespace
}  // namespace rawlog
