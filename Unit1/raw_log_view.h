// TRawLogView: the rows of the raw log, one line each in a fixed font, drawn
// from the log itself only for the rows in view. It shows every kept line, or
// only those that contain a filter text, and follows the newest line unless
// the user has scrolled up.
#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <string>

#include "Unit1/raw_log.h"
#include "platform/toolkit/list_box.h"

namespace unit1 {

class TRawLogView : public toolkit::TListBox {
 public:
  TRawLogView(const TRawLog& log, QWidget* parent = nullptr);

  // Shows only the lines whose shown text contains `filter`, ignoring case;
  // all of them when it is empty.
  void SetFilter(const QString& filter);
  // Brings the rows up to date with the log: rows of lines the log dropped
  // go, lines added since the last time come (those that match the filter).
  void Sync();

  // The log's number of the line in a row.
  std::uint64_t LineNumber(int row) const { return numbers_[std::size_t(row)]; }
  std::string ItemText(int index) const override;
  void DrawItem(toolkit::TCanvas& canvas, int index, const toolkit::TRect& rect,
                toolkit::TOwnerDrawState state) override;

 private:
  bool Matches(const TRawLine& line) const;
  // Whether the last row is in view, so that new rows should keep it there.
  bool FollowsNewest();

  const TRawLog& log_;
  std::deque<std::uint64_t> numbers_;
  // The log's lines before this number have been looked at.
  std::uint64_t synced_end_ = 0;
  QString filter_;
  // An all-ASCII filter is matched on the bytes, in lower case, without
  // turning each line into a QString.
  bool filter_is_ascii_ = true;
  std::string ascii_filter_;
};

}  // namespace unit1
