// The interface's constants whose names the POSIX headers take over as macros
// (AF_INET, FIONREAD, INADDR_ANY, INADDR_NONE), under names of our own. Every
// internal header includes this one first, so the constants are read before
// any POSIX header can define those macros.
#pragma once

#include "platform/wsock32/winsock.h"

namespace wsock32 {

inline constexpr int kWinsockInet = winsock::AF_INET;
inline constexpr std::int32_t kWinsockFionread = winsock::FIONREAD;
inline constexpr winsock::u_long kWinsockAnyAddress = winsock::INADDR_ANY;
inline constexpr winsock::u_long kWinsockNoAddress = winsock::INADDR_NONE;

}  // namespace wsock32
