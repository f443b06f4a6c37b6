// TRowSelection: sorted runs of selected rows.
#include "platform/toolkit/row_selection.h"

#include <algorithm>
#include <utility>

namespace toolkit {

bool TRowSelection::Contains(int row) const {
  // The last run that starts at or before the row.
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), row,
                                      [](int r, const Run& run) { return r < run.First; });
  return after != runs_.begin() && std::prev(after)->Last >= row;
}

void TRowSelection::Add(int first, int last) {
  if (first > last) std::swap(first, last);
  // Runs that overlap or touch the new one merge with it.
  auto begin = std::lower_bound(runs_.begin(), runs_.end(), first,
                                [](const Run& run, int f) { return run.Last < f - 1; });
  auto end = begin;
  Run merged{first, last};
  while (end != runs_.end() && end->First <= last + 1) {
    merged.First = std::min(merged.First, end->First);
    merged.Last = std::max(merged.Last, end->Last);
    ++end;
  }
  const auto at = runs_.erase(begin, end);
  runs_.insert(at, merged);
}

void TRowSelection::Remove(int first, int last) {
  if (first > last) std::swap(first, last);
  std::vector<Run> kept;
  kept.reserve(runs_.size() + 1);
  for (const Run& run : runs_) {
    if (run.Last < first || run.First > last) {
      kept.push_back(run);
      continue;
    }
    if (run.First < first) kept.push_back({run.First, first - 1});
    if (run.Last > last) kept.push_back({last + 1, run.Last});
  }
  runs_ = std::move(kept);
}

void TRowSelection::Toggle(int row) {
  if (Contains(row)) {
    Remove(row, row);
  } else {
    Add(row, row);
  }
}

void TRowSelection::RowsRemoved(int first, int count) {
  if (count <= 0) return;
  Remove(first, first + count - 1);
  std::vector<Run> moved;
  moved.reserve(runs_.size());
  for (Run run : runs_) {
    if (run.First > first) {
      run.First -= count;
      run.Last -= count;
    }
    // The runs on either side of the gone rows now touch.
    if (!moved.empty() && moved.back().Last + 1 == run.First) {
      moved.back().Last = run.Last;
    } else {
      moved.push_back(run);
    }
  }
  runs_ = std::move(moved);
}

}  // namespace toolkit
