// The interface's constants whose names the POSIX headers take over as macros
// (AF_INET, FIONREAD, INADDR_ANY, INADDR_NONE, and the IPv6 and address-call
// numbers), under names of our own. Every
// internal header includes this one first, so the constants are read before
// any POSIX header can define those macros.
#pragma once

#include "platform/wsock32/winsock.h"

namespace wsock32 {

inline constexpr int kWinsockInet = winsock::AF_INET;
inline constexpr std::int32_t kWinsockFionread = winsock::FIONREAD;
inline constexpr winsock::u_long kWinsockAnyAddress = winsock::INADDR_ANY;
inline constexpr winsock::u_long kWinsockNoAddress = winsock::INADDR_NONE;

inline constexpr int kWinsockUnspecified = winsock::AF_UNSPEC;
inline constexpr int kWinsockInet6 = winsock::AF_INET6;

// getaddrinfo's and getnameinfo's flags and errors.
inline constexpr int kWinsockPassive = winsock::AI_PASSIVE;
inline constexpr int kWinsockCanonName = winsock::AI_CANONNAME;
inline constexpr int kWinsockNumericHost = winsock::AI_NUMERICHOST;
inline constexpr int kWinsockNumericServ = winsock::AI_NUMERICSERV;
inline constexpr int kWinsockAll = winsock::AI_ALL;
inline constexpr int kWinsockAddrConfig = winsock::AI_ADDRCONFIG;
inline constexpr int kWinsockV4Mapped = winsock::AI_V4MAPPED;
inline constexpr int kWinsockNameNoFqdn = winsock::NI_NOFQDN;
inline constexpr int kWinsockNameNumericHost = winsock::NI_NUMERICHOST;
inline constexpr int kWinsockNameRequired = winsock::NI_NAMEREQD;
inline constexpr int kWinsockNameNumericServ = winsock::NI_NUMERICSERV;
inline constexpr int kWinsockNameDgram = winsock::NI_DGRAM;

inline constexpr int kWinsockEaiAgain = winsock::EAI_AGAIN;
inline constexpr int kWinsockEaiBadFlags = winsock::EAI_BADFLAGS;
inline constexpr int kWinsockEaiFail = winsock::EAI_FAIL;
inline constexpr int kWinsockEaiFamily = winsock::EAI_FAMILY;
inline constexpr int kWinsockEaiMemory = winsock::EAI_MEMORY;
inline constexpr int kWinsockEaiNoName = winsock::EAI_NONAME;
inline constexpr int kWinsockEaiService = winsock::EAI_SERVICE;
inline constexpr int kWinsockEaiSocktype = winsock::EAI_SOCKTYPE;

}  // namespace wsock32
