// TRawLogView: the raw log's rows, filtered and following the newest line.
#include "Unit1/raw_log_view.h"

#include <QFontMetrics>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "Unit1/raw_log_filter_text.h"
#include "platform/toolkit/qt_font.h"
#include "rawlog/raw_line_text.h"

namespace unit1 {

namespace {

// A row shows at most this many bytes of its line: more could never fit the
// view, and drawing a long line lays out all of it. Copying gives it whole.
constexpr std::size_t kDrawnBytes = 1024;

// The clock is read once per this many lines looked at.
constexpr int kLinesBetweenClockReads = 512;

}  // namespace

TRawLogView::TRawLogView(const rawlog::TRawLog& log, QWidget* parent)
    : TListBox(parent), log_(log), rows_reader_(log.Blocks()), filter_reader_(log.Blocks()) {
  const toolkit::TFont font{"Terminal", -12, toolkit::clWindowText, 0};
  SetFont(font);
  SetItemHeight(QFontMetrics(toolkit::ToQFont(font)).height());
  SetStyle(toolkit::TListBoxStyle::lbOwnerDrawFixed);
  first_row_number_ = synced_end_ = log_.FirstNumber();
}

void TRawLogView::SetFilter(const QString& filter) {
  filter_ = RawLineFilterOf(filter);
  DropFirstRows(Count());
  numbers_.clear();
  first_row_number_ = synced_end_ = log_.FirstNumber();
  Sync();
  SetTopIndex(Count() - 1);
}

std::uint64_t TRawLogView::LineNumber(int row) const {
  return filter_.IsEmpty() ? first_row_number_ + std::uint64_t(row) : numbers_[std::size_t(row)];
}

void TRawLogView::Sync() {
  SyncFor(kRawLogFilterSliceMs);
  if (!Searching() || sync_posted_) return;
  sync_posted_ = true;
  QTimer::singleShot(0, this, [this] {
    sync_posted_ = false;
    Sync();
  });
}

void TRawLogView::SyncAll() {
  SyncFor(-1);
}

void TRawLogView::SyncFor(int slice_ms) {
  const bool follow = FollowsNewest();
  const std::uint64_t first = log_.FirstNumber();
  int dropped = 0;
  if (filter_.IsEmpty()) {
    if (first > first_row_number_) {
      dropped = int(std::min<std::uint64_t>(std::uint64_t(Count()), first - first_row_number_));
      first_row_number_ = first;
    }
  } else {
    while (!numbers_.empty() && numbers_.front() < first) {
      numbers_.pop_front();
      ++dropped;
    }
  }
  DropFirstRows(dropped);
  synced_end_ = std::max(synced_end_, first);
  int added = 0;
  if (filter_.IsEmpty()) {
    added = int(log_.EndNumber() - synced_end_);
    synced_end_ = log_.EndNumber();
  } else {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(slice_ms);
    filter_reader_.Seek(synced_end_);
    rawlog::TRawLine line;
    for (int looked = 1; filter_reader_.Next(line); ++looked) {
      if (filter_.Matches(line)) {
        numbers_.push_back(filter_reader_.Number() - 1);
        ++added;
      }
      if (slice_ms >= 0 && looked % kLinesBetweenClockReads == 0 && Clock::now() >= until) break;
    }
    synced_end_ = filter_reader_.Number();
  }
  AppendRows(added);
  if (follow) SetTopIndex(Count() - 1);
}

bool TRawLogView::FollowsNewest() {
  const int rows_in_view = std::max(viewport()->height() / std::max(ItemHeight(), 1), 1);
  return TopIndex() + rows_in_view >= Count();
}

// Lines go from the log before the rows catch up at the next Sync.
std::string TRawLogView::ItemText(int index) const {
  const std::uint64_t number = LineNumber(index);
  if (number < log_.FirstNumber()) return {};
  rows_reader_.Seek(number);
  rawlog::TRawLine line;
  if (!rows_reader_.Next(line)) return {};
  return rawlog::ShownRawLine(line);
}

void TRawLogView::DrawItem(toolkit::TCanvas& canvas, int index, const toolkit::TRect& rect,
                           toolkit::TOwnerDrawState) {
  canvas.FillRect(rect);
  // The row is filled already: the text needs no background, nor the width
  // that one would take, which each new line would add to the kept widths.
  canvas.SetBrushStyle(toolkit::TBrushStyle::bsClear);
  std::string shown = ItemText(index);
  if (shown.size() > kDrawnBytes) {
    // Cut before a character that begins at or beyond the bound.
    std::size_t cut = kDrawnBytes;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
    shown.resize(cut);
  }
  canvas.TextOut(rect.Left + 2, rect.Top, shown);
}

}  // namespace unit1
