// The entry lines' history: Up and Down through the lines sent.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Unit1/line_history.h"

namespace unit1 {
namespace {

using Lines = std::vector<std::string>;

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

}  // namespace
}  // namespace unit1
