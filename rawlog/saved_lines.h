// Writing the raw log's lines as they are saved, a piece at a time, so that a
// save on a thread of its own can be followed and cancelled.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string_view>

#include "rawlog/raw_log.h"
#include "rawlog/raw_log_filter.h"

namespace rawlog {

struct TSavedLines {
  enum TEnd { seWritten, seCancelled, seFailed } End = seWritten;
  // How many lines were written.
  std::size_t Lines = 0;
};

// Takes a piece of the text; false when it could not be written.
using TWritePiece = std::function<bool(std::string_view piece)>;

// Writes the lines of `blocks` that `filter` takes, each as SavedRawLine gives
// it with LF after it, through `write`. `looked_at` counts the lines looked at
// so far; setting `cancel` stops the writing before the next piece. A write
// that fails stops it too.
TSavedLines WriteSavedLines(const TRawBlocks& blocks, TRawLineFilter& filter,
                            const TWritePiece& write, std::atomic<std::size_t>& looked_at,
                            const std::atomic<bool>& cancel);

}  // namespace rawlog
