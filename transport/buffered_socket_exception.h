// EBufferedSocketException: the failures of the buffered transport, and their
// fixed texts.
#pragma once

#include "sockets/exceptions.h"

namespace transport {

class EBufferedSocketException : public sockets::Exception {
 public:
  using Exception::Exception;
};

inline constexpr const char* kMsgNoRawSendRecv =
    "Recv or Send cannot be called on a buffered socket.";
inline constexpr const char* kMsgBufferSizeLosesData =
    "Cannot change buffer size - data will be lost.";
inline constexpr const char* kMsgPullUpTooLarge =
    "Cannot pull up buffer - amount to pull up larger than total buffer.";
inline constexpr const char* kMsgBlockTooLarge = "Block size is larger than buffer size.";
inline constexpr const char* kMsgBlockSizeZero = "Cannot read block/record - size is zero.";
inline constexpr const char* kMsgReadBufferFull = "Read buffer full, user did not flush";
inline constexpr const char* kMsgWriteBufferFull = "Write buffer full, user did not flush";

}  // namespace transport
