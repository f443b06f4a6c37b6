// The window's parts on their own: the byte escapes of the Send bytes entry and
// the saved raw log, the entry lines' history and nickname completion, and the
// chat list's styler for bytes that are no UTF-8.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Unit1/byte_escapes.h"
#include "Unit1/irc_styler.h"
#include "Unit1/line_history.h"
#include "Unit1/nick_completion.h"
#include "tests/Il/styled_runs.h"
#include "tests/support/format_codes.h"

namespace unit1 {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

// Every byte value reads back from the escapes the raw log writes
// (raw_log_test.cpp, the saved lines); here hex digits in either case, and the
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
}

// Each key is "up" or "down"; the result is what the entry shows after it ("-"
// when the key brought nothing and the entry stays).
Lines Browse(TLineHistory& history, const QString& editing, const Lines& keys) {
  QString shown = editing;
  Lines seen;
  for (const std::string& key : keys) {
    const std::optional<QString> line = key == "up" ? history.Older(shown) : history.Newer();
    if (line) shown = *line;
    seen.push_back(line ? shown.toStdString() : "-");
  }
  return seen;
}

TEST(LineHistory, UpAndDownWalkTheSentLinesAndBringBackTheEditedText) {
  const struct {
    const char* name;
    Lines sent, keys, seen;
  } cases[] = {
      {"nothing sent", {}, {"up", "down"}, {"-", "-"}},
      {"newest first, stops at the oldest", {"a", "b"}, {"up", "up", "up"}, {"b", "a", "-"}},
      {"down returns to the edited text",
       {"a", "b"},
       {"up", "up", "down", "down", "down"},
       {"b", "a", "b", "draft", "-"}},
      {"empty lines are not kept", {"a", "", "b"}, {"up", "up", "up"}, {"b", "a", "-"}},
  };
  for (const auto& c : cases) {
    TLineHistory history;
    for (const std::string& line : c.sent) history.Add(QString::fromStdString(line));
    EXPECT_EQ(Browse(history, "draft", c.keys), c.seen) << c.name;
  }
  // The newest lines are kept, and a send starts again below them.
  TLineHistory bounded(3);
  for (const char* line : {"1", "2", "3", "4"}) bounded.Add(line);
  EXPECT_EQ(Browse(bounded, "", {"up", "up", "up", "up"}), (Lines{"4", "3", "2", "-"}));
  bounded.Add("5");
  EXPECT_EQ(Browse(bounded, "new", {"up", "down"}), (Lines{"5", "new"}));
}

const QStringList kNames = {"@Alice", "+alfred", "bob", "alice", "Carol", "@@al"};

TEST(NickCompletion, CompletesTheWordAtTheCursorAndTabAgainCycles) {
  const struct {
    const char* name;
    QString text;
    int cursor;
    std::optional<TCompletedLine> completed;
  } cases[] = {
      {"line start gets a colon", "bo", 2, TCompletedLine{"bob: ", 5}},
      {"case and status ignored", "CAR", 3, TCompletedLine{"Carol: ", 7}},
      {"mid line, no colon", "hi ca", 5, TCompletedLine{"hi Carol", 8}},
      {"text after the cursor stays", "bo said", 2, TCompletedLine{"bob:  said", 5}},
      {"cursor after a blank", "x bob", 2, std::nullopt},
      {"no match", "zed", 3, std::nullopt},
      {"empty line", "", 0, std::nullopt},
      {"status signs are not a word", "@", 1, std::nullopt},
  };
  for (const auto& c : cases) {
    TNickCompletion completion;
    EXPECT_EQ(completion.Complete(c.text, c.cursor, kNames), c.completed) << c.name;
  }

  TNickCompletion completion;
  std::optional<TCompletedLine> line = completion.Complete("al", 2, kNames);
  QStringList seen;
  for (int i = 0; i < 5 && line; ++i) {
    seen.append(line->Text);
    line = completion.Complete(line->Text, line->Cursor, kNames);
  }
  // "Alice" and "alice" are different names; "al" with two status signs is one.
  EXPECT_EQ(seen, (QStringList{"al: ", "alfred: ", "Alice: ", "alice: ", "al: "}));
  // An edited line starts afresh.
  EXPECT_EQ(completion.Complete("hi alf", 6, kNames), (TCompletedLine{"hi alfred", 9}));
}

using iltest::StyledRun;
using testsupport::Codes;

// Each code's style and colour is drawn pixel for pixel through this styler
// (tests/Il/formatted_drawing_test.cpp); what the drawing does not show is the
// Windows-1252 reading of bytes that are no UTF-8, beside a control character.
TEST(IrcStyledText, ReadsOtherBytesAsWindows1252) {
  EXPECT_EQ(IrcStyledText(Codes("caf\xE9\001^B!")),
            (il::TStyledText{StyledRun("caf\xC3\xA9\u2401"), StyledRun("!", toolkit::fsBold)}));
}

}  // namespace
}  // namespace unit1
