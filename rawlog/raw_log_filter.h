// TRawLineFilter: whether a raw log line, as it is shown, holds a text,
// ignoring case. Testing many lines allocates nothing: the shown text goes
// into one buffer, and plain text is looked for in a line of plain bytes as
// they are, without showing it. ASCII case is folded here; a text beyond
// ASCII is looked for with the case folding its owner gives.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "rawlog/raw_log.h"

namespace rawlog {

// Whether a shown line (UTF-8) holds the filter's text, ignoring case.
using THoldsIgnoringCase = std::function<bool(std::string_view shown)>;

class TRawLineFilter {
 public:
  // `text` is UTF-8; `holds` is asked only when it goes beyond ASCII, and
  // without it such a text is looked for byte for byte.
  explicit TRawLineFilter(std::string text = {}, THoldsIgnoringCase holds = {});

  const std::string& Text() const { return text_; }
  bool IsEmpty() const { return text_.empty(); }
  // True for every line when the text is empty.
  bool Matches(const TRawLine& line);

 private:
  // Whether text in lower case holds the filter's.
  bool Holds(std::string_view lowered) const;

  std::string text_;
  THoldsIgnoringCase holds_;
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

}  // namespace rawlog
