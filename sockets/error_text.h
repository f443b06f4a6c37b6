// The error catalogue: texts for the socket library's error numbers (10004 to
// 11004) and for the socket layer's own messages (20001 to 20030).
#pragma once

#include <string>

namespace sockets {

// The layer's own message codes, passed to RaiseSockError as its message code.
enum : int {
  kMsgFindingHostAddress = 20001,
  kMsgCallingGetHostByAddr = 20002,
  kMsgCallingGetHostByName = 20003,
  kMsgCallingGetServByName = 20004,
  kMsgCallingGetServByPort = 20005,
  kMsgFindingHostForAddress = 20006,
  kMsgBindingSocket = 20007,
  kMsgConnecting = 20008,
  kMsgCreatingSocket = 20009,
  kMsgCallingGetPeerName = 20010,
  kMsgCallingGetSockName = 20011,
  kMsgGettingReceiveCount = 20012,
  kMsgListening = 20013,
  kMsgReceiving = 20014,
  kMsgSending = 20015,
  kMsgStartingWinsock = 20016,
  kMsgNoAddress = 20017,
  kMsgSocketNotOpen = 20018,
  kMsgReverseLookupOfZero = 20019,
  kMsgSocketAlreadyOpened = 20020,
  kMsgDatagramTooLong = 20021,
  kMsgLibraryAlreadyLoaded = 20022,
  kMsgInvalidStreamType = 20023,
  kMsgInvalidDatagramType = 20024,
  kMsgPeeking = 20025,
  kMsgNoSocketClass = 20026,
  kMsgCallingGetAddrInfo = 20027,
  kMsgUnreadableAddress = 20028,
  kMsgNoIPv4Address = 20029,
  kMsgNoIPv6Address = 20030,
};

// The text of an error number or message code, at most 255 characters: empty for
// 0, "Unknown Error <code>" for a code the catalogue does not hold.
std::string ErrorText(int code);

}  // namespace sockets
