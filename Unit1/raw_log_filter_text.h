// The raw log's filter for a text typed in the window: beyond ASCII, it ignores
// case as Qt does.
#pragma once

#include <QString>

#include "rawlog/raw_log_filter.h"

namespace unit1 {

rawlog::TRawLineFilter RawLineFilterOf(const QString& text);

}  // namespace unit1
