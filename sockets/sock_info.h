// Status codes that socket controls report through OnInfo, and their texts.
#pragma once

#include <array>
#include <string_view>

namespace sockets {

enum TSockInfo : int {
  siInactive,
  siLookUp,
  siConnecting,
  siConnected,
  siListening,
  siReceiving,
  siSending,
  siClosed,
  siTimedOut,
  siAccepting,
  siNoSuchSocket,
  siRejecting,
  siDisconnected,
};

// Indexed by TSockInfo.
inline constexpr std::array<std::string_view, 13> SockInfoText{
    "Inactive",
    "Looking-up a host name",
    "Connecting",
    "Connection",
    "Listening",
    "Receiving Data",
    "Sending Data",
    "Closed",
    "Connection timed out",
    "Accepting connection",
    "Error: No such socket",
    "Rejecting Connection",
    "Disconnected",
};
static_assert(SockInfoText.size() == siDisconnected + 1);

}  // namespace sockets
