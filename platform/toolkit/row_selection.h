// TRowSelection: the selected rows of a list as sorted runs, so that selecting
// every row of a long list, or dropping its first rows, costs a few runs
// rather than one entry per row.
#pragma once

#include <vector>

namespace toolkit {

class TRowSelection {
 public:
  // Rows First to Last, both included.
  struct Run {
    int First;
    int Last;
    bool operator==(const Run&) const = default;
  };

  bool Empty() const { return runs_.empty(); }
  bool Contains(int row) const;
  // Sorted, apart from each other (two runs never touch).
  const std::vector<Run>& Runs() const { return runs_; }

  void Clear() { runs_.clear(); }
  // Rows from `first` to `last`, in either order.
  void Add(int first, int last);
  void Remove(int first, int last);
  void Toggle(int row);
  // `count` rows from `first` on are gone: their selection goes with them and
  // the rows after them move up.
  void RowsRemoved(int first, int count);

 private:
  std::vector<Run> runs_;
};

}  // namespace toolkit
