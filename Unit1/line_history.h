// TLineHistory: the lines sent from one entry line, newest last, for Up and
// Down to bring back. Browsing starts below the newest line, where the text
// being edited waits and comes back.
#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <optional>

namespace unit1 {

class TLineHistory {
 public:
  explicit TLineHistory(std::size_t kept = 100) : kept_(kept) {}

  // A line that went out; browsing starts again from below it. Empty lines
  // are not worth bringing back.
  void Add(const QString& line);
  // The line before the one shown, given the text in the entry now; none at
  // the oldest line.
  std::optional<QString> Older(const QString& editing);
  // The line after the one shown, and after the newest the text that was
  // being edited; none when not browsing.
  std::optional<QString> Newer();
  std::size_t Size() const { return lines_.size(); }

 private:
  std::size_t kept_;
  std::deque<QString> lines_;
  // The line shown, none while at the bottom.
  std::optional<std::size_t> shown_;
  QString editing_;
};

}  // namespace unit1
