// Selected rows as runs: merging, splitting, and following rows that go.
#include "platform/toolkit/row_selection.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using toolkit::TRowSelection;
using Runs = std::vector<TRowSelection::Run>;

struct Case {
  const char* name;
  std::function<void(TRowSelection&)> steps;
  Runs expected;
};

TEST(RowSelection, KeepsSortedRunsThatNeverTouch) {
  const Case cases[] = {
      {"reversed range", [](auto& s) { s.Add(7, 3); }, {{3, 7}}},
      {"touching runs merge",
       [](auto& s) {
         s.Add(0, 2);
         s.Add(3, 4);
       },
       {{0, 4}}},
      {"overlap spans three",
       [](auto& s) {
         s.Add(0, 1);
         s.Add(5, 6);
         s.Add(9, 9);
         s.Add(1, 8);
       },
       {{0, 9}}},
      {"apart stay apart",
       [](auto& s) {
         s.Add(8, 9);
         s.Add(0, 1);
         s.Add(4, 5);
       },
       {{0, 1}, {4, 5}, {8, 9}}},
      {"remove splits",
       [](auto& s) {
         s.Add(0, 9);
         s.Remove(3, 5);
       },
       {{0, 2}, {6, 9}}},
      {"remove across runs",
       [](auto& s) {
         s.Add(0, 2);
         s.Add(5, 7);
         s.Remove(1, 6);
       },
       {{0, 0}, {7, 7}}},
      {"toggle off then on",
       [](auto& s) {
         s.Add(0, 4);
         s.Toggle(2);
         s.Toggle(4);
         s.Toggle(2);
       },
       {{0, 3}}},
      {"gone rows shift later runs",
       [](auto& s) {
         s.Add(10, 12);
         s.RowsRemoved(0, 4);
       },
       {{6, 8}}},
      {"gone rows take their selection",
       [](auto& s) {
         s.Add(2, 6);
         s.RowsRemoved(0, 4);
       },
       {{0, 2}}},
      {"runs either side of a gap join",
       [](auto& s) {
         s.Add(0, 3);
         s.Add(6, 8);
         s.RowsRemoved(4, 2);
       },
       {{0, 6}}},
      {"rows after the selection go",
       [](auto& s) {
         s.Add(0, 1);
         s.RowsRemoved(5, 100);
       },
       {{0, 1}}},
  };
  for (const Case& c : cases) {
    TRowSelection selection;
    c.steps(selection);
    EXPECT_EQ(selection.Runs(), c.expected) << c.name;
  }
}

TEST(RowSelection, ContainsOnlyTheRowsOfItsRuns) {
  TRowSelection selection;
  selection.Add(3, 5);
  selection.Add(9, 9);
  std::vector<int> found;
  for (int row = 0; row < 12; ++row) {
    if (selection.Contains(row)) found.push_back(row);
  }
  EXPECT_EQ(found, (std::vector<int>{3, 4, 5, 9}));
}

}  // namespace
