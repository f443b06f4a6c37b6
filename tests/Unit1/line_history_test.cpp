// The sent lines of an entry line, browsed with Up and Down.
#include "Unit1/line_history.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace unit1 {
namespace {

// Each step is "up" or "down"; the result is what the entry shows after it
// ("-" when the key brought nothing and the entry stays).
std::vector<std::string> Browse(TLineHistory& history, const QString& editing,
                                const std::vector<std::string>& keys) {
  QString shown = editing;
  std::vector<std::string> seen;
  for (const std::string& key : keys) {
    const std::optional<QString> line = key == "up" ? history.Older(shown) : history.Newer();
    if (line) shown = *line;
    seen.push_back(line ? shown.toStdString() : "-");
  }
  return seen;
}

TEST(LineHistory, UpAndDownWalkTheSentLinesAndBringBackTheEditedText) {
  struct Case {
    const char* name;
    std::vector<std::string> sent;
    std::vector<std::string> keys;
    std::vector<std::string> seen;
  };
  const Case cases[] = {
      {"nothing sent", {}, {"up", "down"}, {"-", "-"}},
      {"newest first, stops at the oldest", {"a", "b"}, {"up", "up", "up"}, {"b", "a", "-"}},
      {"down returns to the edited text",
       {"a", "b"},
       {"up", "up", "down", "down", "down"},
       {"b", "a", "b", "draft", "-"}},
      {"empty lines are not kept", {"a", "", "b"}, {"up", "up", "up"}, {"b", "a", "-"}},
  };
  for (const Case& c : cases) {
    TLineHistory history;
    for (const std::string& line : c.sent) history.Add(QString::fromStdString(line));
    EXPECT_EQ(Browse(history, "draft", c.keys), c.seen) << c.name;
  }
}

TEST(LineHistory, KeepsTheNewestAndStartsAgainBelowAfterASend) {
  TLineHistory history(3);
  for (const char* line : {"1", "2", "3", "4"}) history.Add(line);
  EXPECT_EQ(history.Size(), 3u);
  EXPECT_EQ(Browse(history, "", {"up", "up", "up", "up"}),
            (std::vector<std::string>{"4", "3", "2", "-"}));
  history.Add("5");
  EXPECT_EQ(Browse(history, "new", {"up", "down"}), (std::vector<std::string>{"5", "new"}));
}

}  // namespace
}  // namespace unit1
