// TRawLineFilter: whether a raw log line, as it is shown, holds a text,
// ignoring case. Testing many lines allocates nothing: the shown text goes
// into one buffer, and plain text is looked for in a line of plain bytes as
// they are, without showing it.
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

#include "Unit1/raw_log.h"

namespace unit1 {

class TRawLineFilter {
 public:
  explicit TRawLineFilter(const QString& text = QString());

  const QString& Text() const { return text_; }
  bool IsEmpty() const { return text_.isEmpty(); }
  // True for every line when the text is empty.
  bool Matches(const TRawLine& line);

 private:
  // Whether text in lower case holds the filter's.
  bool Holds(std::string_view lowered) const;

  QString text_;
  bool ascii_ = true;
  // The text is printable ASCII without a backslash: in a line of such bytes
  // alone, it is found in the bytes or across the clock and direction.
  bool plain_ = true;
  // Its first character may be one of the clock and direction.
  bool may_start_before_bytes_ = true;
  // The ASCII text in lower case.
  std::string lower_;
  std::string shown_;
  std::string lowered_;
};

}  // namespace unit1
