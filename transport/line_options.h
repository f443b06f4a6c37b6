// The line socket's terminator choice and its options.
#pragma once

#include <cstdint>
#include <string_view>

#include "sockets/byte_set.h"

namespace transport {

enum TLineSocketType : std::uint8_t { lstCR, lstLF, lstCRLF };

// CR, LF or CR LF; empty for any other value.
constexpr std::string_view LineTerminatorOf(TLineSocketType Type) {
  switch (Type) {
    case lstCR:
      return "\r";
    case lstLF:
      return "\n";
    case lstCRLF:
      return "\r\n";
  }
  return {};
}

enum TLineSocketOptions : std::uint8_t {
  // WriteLine appends the terminator to the text.
  lsoAddLineChars,
  // Every successful WriteString or WritePChar is followed by a flush.
  lsoAutoFlushAfterWrite,
  // Lines handed to OnLineReceived keep their terminator.
  lsoReturnLineChars,
  // Lines are cut out of the read buffer as they arrive and raised as
  // OnLineReceived; without it nothing is cut automatically.
  lsoLineReceivedEvents,
};

// A set of TLineSocketOptions held in one byte, lsoAddLineChars as bit 0.
using TLineSocketOptionsSet = sockets::TByteSet<TLineSocketOptions>;

// What a new line socket and a new text client start with (the byte value 11).
inline constexpr TLineSocketOptionsSet kDefaultLineOptions{lsoAddLineChars, lsoAutoFlushAfterWrite,
                                                           lsoLineReceivedEvents};

}  // namespace transport
