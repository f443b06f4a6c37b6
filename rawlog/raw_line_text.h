// A raw log line as text: as the raw log shows it, and as it is saved.
#pragma once

#include <string>

#include "rawlog/raw_log.h"

namespace rawlog {

// The line as the raw log shows it: "hh:mm:ss.mmm < text" in local time, with
// the text's bytes made visible (see bytes::AppendVisibleBytes).
std::string ShownRawLine(const TRawLine& line);
// The same into `shown`, which it replaces.
void ShowRawLine(const TRawLine& line, std::string& shown);
// The line as it is saved: as shown, but with the text's bytes escaped (see
// bytes::AppendEscapedBytes), so that it reads back to them.
std::string SavedRawLine(const TRawLine& line);

}  // namespace rawlog
