// TRawLogView: the raw log's rows, filtered and following the newest line.
#include "Unit1/raw_log_view.h"

#include <QFontMetrics>
#include <algorithm>

#include "platform/toolkit/qt_font.h"

namespace unit1 {

namespace {

// A row shows at most this many bytes of its line: more could never fit the
// view, and drawing a long line lays out all of it. Copying gives it whole.
constexpr std::size_t kDrawnBytes = 1024;

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view lower_needle) {
  const auto found = std::search(text.begin(), text.end(), lower_needle.begin(), lower_needle.end(),
                                 [](char a, char b) { return AsciiLower(a) == b; });
  return found != text.end();
}

}  // namespace

TRawLogView::TRawLogView(const TRawLog& log, QWidget* parent) : TListBox(parent), log_(log) {
  const toolkit::TFont font{"Terminal", -12, toolkit::clWindowText, 0};
  SetFont(font);
  SetItemHeight(QFontMetrics(toolkit::ToQFont(font)).height());
  SetStyle(toolkit::TListBoxStyle::lbOwnerDrawFixed);
  synced_end_ = log_.FirstNumber();
}

void TRawLogView::SetFilter(const QString& filter) {
  filter_ = filter;
  filter_is_ascii_ =
      std::all_of(filter.begin(), filter.end(), [](QChar c) { return c.unicode() < 0x80; });
  ascii_filter_ = filter_is_ascii_ ? filter.toLower().toStdString() : std::string();
  DropFirstRows(Count());
  numbers_.clear();
  synced_end_ = log_.FirstNumber();
  Sync();
  SetTopIndex(Count() - 1);
}

void TRawLogView::Sync() {
  const bool follow = FollowsNewest();
  int dropped = 0;
  while (!numbers_.empty() && numbers_.front() < log_.FirstNumber()) {
    numbers_.pop_front();
    ++dropped;
  }
  DropFirstRows(dropped);
  const std::size_t before = numbers_.size();
  for (std::uint64_t n = std::max(synced_end_, log_.FirstNumber()); n < log_.EndNumber(); ++n) {
    if (Matches(log_.Line(n))) numbers_.push_back(n);
  }
  synced_end_ = log_.EndNumber();
  AppendRows(int(numbers_.size() - before));
  if (follow) SetTopIndex(Count() - 1);
}

bool TRawLogView::FollowsNewest() {
  const int rows_in_view = std::max(viewport()->height() / std::max(ItemHeight(), 1), 1);
  return TopIndex() + rows_in_view >= Count();
}

bool TRawLogView::Matches(const TRawLine& line) const {
  if (filter_.isEmpty()) return true;
  const std::string shown = ShownRawLine(line);
  if (filter_is_ascii_) return ContainsIgnoringAsciiCase(shown, ascii_filter_);
  return QString::fromUtf8(shown).contains(filter_, Qt::CaseInsensitive);
}

// Lines go from the log before the rows catch up at the next Sync.
std::string TRawLogView::ItemText(int index) const {
  const std::uint64_t number = LineNumber(index);
  if (number < log_.FirstNumber()) return {};
  return ShownRawLine(log_.Line(number));
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
