// TLineHistory: the sent lines of an entry line, browsed with Up and Down.
#include "Unit1/line_history.h"

namespace unit1 {

void TLineHistory::Add(const QString& line) {
  shown_.reset();
  editing_.clear();
  if (line.isEmpty()) return;
  lines_.push_back(line);
  while (lines_.size() > kept_) lines_.pop_front();
}

std::optional<QString> TLineHistory::Older(const QString& editing) {
  if (lines_.empty() || shown_ == 0u) return std::nullopt;
  if (!shown_) {
    editing_ = editing;
    shown_ = lines_.size();
  }
  return lines_[--*shown_];
}

std::optional<QString> TLineHistory::Newer() {
  if (!shown_) return std::nullopt;
  if (++*shown_ < lines_.size()) return lines_[*shown_];
  shown_.reset();
  return editing_;
}

}  // namespace unit1
