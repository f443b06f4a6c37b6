// TRawLogView: the rows of the raw log, one line each in a fixed font, drawn
// from the log itself only for the rows in view. It shows every kept line, or
// only those that contain a filter text, and follows the newest line unless
// the user has scrolled up. A filter looks at the lines a slice of time at a
// time, so that the window answers while it looks through a full log.
#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <string>

#include "platform/toolkit/list_box.h"
#include "rawlog/raw_log.h"
#include "rawlog/raw_log_filter.h"
#include "rawlog/raw_log_reader.h"

namespace unit1 {

// The longest a filter looks at lines before the event loop goes on.
constexpr int kRawLogFilterSliceMs = 5;

class TRawLogView : public toolkit::TListBox {
 public:
  TRawLogView(const rawlog::TRawLog& log, QWidget* parent = nullptr);

  // Shows only the lines whose shown text contains `filter`, ignoring case;
  // all of them when it is empty.
  void SetFilter(const QString& filter);
  // Brings the rows up to date with the log: rows of lines the log dropped
  // go, lines added since the last time come (those that match the filter).
  // With a filter it stops after a slice of time and goes on at the next
  // turn of the event loop.
  void Sync();
  // The same, until every line has been looked at.
  void SyncAll();
  // The filter has lines left to look at.
  bool Searching() const { return filter_.IsEmpty() ? false : synced_end_ < log_.EndNumber(); }

  // The log's number of the line in a row.
  std::uint64_t LineNumber(int row) const;
  std::string ItemText(int index) const override;
  void DrawItem(toolkit::TCanvas& canvas, int index, const toolkit::TRect& rect,
                toolkit::TOwnerDrawState state) override;

 private:
  // Drops the rows of lines gone; looks at lines from synced_end_ on, for at
  // most `slice_ms` (no limit when negative).
  void SyncFor(int slice_ms);
  // Whether the last row is in view, so that new rows should keep it there.
  bool FollowsNewest();

  const rawlog::TRawLog& log_;
  // For the rows read and drawn; the filter reads with a reader of its own.
  mutable rawlog::TRawLogReader rows_reader_;
  rawlog::TRawLogReader filter_reader_;
  rawlog::TRawLineFilter filter_;
  // Without a filter, row r shows line first_row_number_ + r; with one, the
  // line numbers_[r].
  std::uint64_t first_row_number_ = 0;
  std::deque<std::uint64_t> numbers_;
  // The log's lines before this number have been looked at.
  std::uint64_t synced_end_ = 0;
  bool sync_posted_ = false;
};

}  // namespace unit1
