// Nickname completion in the message line.
#include <gtest/gtest.h>

#include <optional>

#include "Unit1/nick_completion.h"

namespace unit1 {
namespace {

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

}  // namespace
}  // namespace unit1
