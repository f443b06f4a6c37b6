// TAsyncOptions: which readiness notifications a connected socket asks for.
#pragma once

#include <cstdint>

#include "platform/wsock32/winsock.h"
#include "sockets/byte_set.h"

namespace sockets {

enum TAsyncOptionsType : std::uint8_t { csoRead, csoWrite, csoOOB };

// A set of TAsyncOptionsType held in one byte, csoRead as bit 0.
using TAsyncOptions = TByteSet<TAsyncOptionsType>;

// The WSAAsyncSelect event mask of the options: csoRead gives FD_READ, csoWrite
// FD_WRITE and csoOOB FD_OOB, which are the options' own bits.
constexpr long AsyncOptionsToEvents(TAsyncOptions options) {
  static_assert(winsock::FD_READ == 1 << csoRead && winsock::FD_WRITE == 1 << csoWrite &&
                winsock::FD_OOB == 1 << csoOOB);
  return options.Byte() & 7;
}

}  // namespace sockets
