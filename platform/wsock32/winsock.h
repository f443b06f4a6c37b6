// The socket library's interface: the Windows Sockets 1.1 types, numbers and
// layouts, and the signatures of its 27 entry points. Types only: the library is
// loaded at run time, so nothing here declares a function to link against.
// Kept free of POSIX headers, whose socket types and names would clash.
#pragma once

#include <cstdint>

#include "platform/winsys/winsys.h"

namespace winsock {

using winsys::HWND;
using WORD = std::uint16_t;
using u_short = std::uint16_t;
using u_int = std::uint32_t;
using u_long = std::uint32_t;  // 32 bits, as on the platform the interface comes from
using SOCKET = std::uintptr_t;
using HANDLE = std::uintptr_t;  // a look-up request; 0 is never a valid one

constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
constexpr int SOCKET_ERROR = -1;

constexpr int AF_INET = 2;
constexpr int SOCK_STREAM = 1;
constexpr int SOCK_DGRAM = 2;
constexpr int IPPROTO_TCP = 6;
constexpr int IPPROTO_UDP = 17;
constexpr u_long INADDR_ANY = 0;
constexpr u_long INADDR_NONE = 0xFFFFFFFF;

constexpr std::int32_t FIONREAD = 0x4004667F;
constexpr int MAXGETHOSTSTRUCT = 1024;
constexpr int WSADESCRIPTION_LEN = 256;
constexpr int WSASYS_STATUS_LEN = 128;

constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;

// Error numbers: 10000 plus the BSD error number, and the resolver's 11001 to 11004.
enum : int {
  WSAEINTR = 10004,
  WSAEBADF = 10009,
  WSAEACCES = 10013,
  WSAEFAULT = 10014,
  WSAEINVAL = 10022,
  WSAEMFILE = 10024,
  WSAEWOULDBLOCK = 10035,
  WSAEINPROGRESS = 10036,
  WSAEALREADY = 10037,
  WSAENOTSOCK = 10038,
  WSAEDESTADDRREQ = 10039,
  WSAEMSGSIZE = 10040,
  WSAEPROTOTYPE = 10041,
  WSAENOPROTOOPT = 10042,
  WSAEPROTONOSUPPORT = 10043,
  WSAESOCKTNOSUPPORT = 10044,
  WSAEOPNOTSUPP = 10045,
  WSAEPFNOSUPPORT = 10046,
  WSAEAFNOSUPPORT = 10047,
  WSAEADDRINUSE = 10048,
  WSAEADDRNOTAVAIL = 10049,
  WSAENETDOWN = 10050,
  WSAENETUNREACH = 10051,
  WSAENETRESET = 10052,
  WSAECONNABORTED = 10053,
  WSAECONNRESET = 10054,
  WSAENOBUFS = 10055,
  WSAEISCONN = 10056,
  WSAENOTCONN = 10057,
  WSAESHUTDOWN = 10058,
  WSAETOOMANYREFS = 10059,
  WSAETIMEDOUT = 10060,
  WSAECONNREFUSED = 10061,
  WSAELOOP = 10062,
  WSAENAMETOOLONG = 10063,
  WSAEHOSTDOWN = 10064,
  WSAEHOSTUNREACH = 10065,
  WSAENOTEMPTY = 10066,
  WSAEPROCLIM = 10067,
  WSAEUSERS = 10068,
  WSAEDQUOT = 10069,
  WSAESTALE = 10070,
  WSAEREMOTE = 10071,
  WSASYSNOTREADY = 10091,
  WSAVERNOTSUPPORTED = 10092,
  WSANOTINITIALISED = 10093,
  WSAEDISCON = 10101,
  WSAHOST_NOT_FOUND = 11001,
  WSATRY_AGAIN = 11002,
  WSANO_RECOVERY = 11003,
  WSANO_DATA = 11004,
};

struct in_addr {
  u_long s_addr;  // network order
};

struct sockaddr {
  u_short sa_family;
  char sa_data[14];
};

struct sockaddr_in {
  std::int16_t sin_family;
  u_short sin_port;  // network order
  in_addr sin_addr;
  char sin_zero[8];
};
static_assert(sizeof(sockaddr_in) == 16);

struct hostent {
  char* h_name;
  char** h_aliases;
  short h_addrtype;
  short h_length;
  char** h_addr_list;
};

struct servent {
  char* s_name;
  char** s_aliases;
  short s_port;  // network order
  char* s_proto;
};

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
};

// The message macros: a notification's lParam holds the event or buffer length in
// its low word and the error in its high word.
constexpr WORD WSAGETSELECTEVENT(winsys::LPARAM lParam) {
  return WORD(lParam & 0xFFFF);
}
constexpr WORD WSAGETSELECTERROR(winsys::LPARAM lParam) {
  return WORD((lParam >> 16) & 0xFFFF);
}
constexpr WORD WSAGETASYNCBUFLEN(winsys::LPARAM lParam) {
  return WORD(lParam & 0xFFFF);
}
constexpr WORD WSAGETASYNCERROR(winsys::LPARAM lParam) {
  return WORD((lParam >> 16) & 0xFFFF);
}
constexpr winsys::LPARAM WSAMAKESELECTREPLY(WORD event, WORD error) {
  return winsys::LPARAM(std::uint32_t(error) << 16 | event);
}
constexpr winsys::LPARAM WSAMAKEASYNCREPLY(WORD buflen, WORD error) {
  return winsys::LPARAM(std::uint32_t(error) << 16 | buflen);
}

// The 27 entry points: X(name, result type, parameter list). The binding makes one
// cached wrapper of each; the library exports exactly these names.
#define WINSOCK_ENTRY_POINTS(X)                                                                    \
  X(accept, winsock::SOCKET, (winsock::SOCKET s, winsock::sockaddr * addr, int* addrlen))          \
  X(bind, int, (winsock::SOCKET s, const winsock::sockaddr* name, int namelen))                    \
  X(closesocket, int, (winsock::SOCKET s))                                                         \
  X(connect, int, (winsock::SOCKET s, const winsock::sockaddr* name, int namelen))                 \
  X(ioctlsocket, int, (winsock::SOCKET s, std::int32_t cmd, winsock::u_long * argp))               \
  X(getsockname, int, (winsock::SOCKET s, winsock::sockaddr * name, int* namelen))                 \
  X(htons, winsock::u_short, (winsock::u_short hostshort))                                         \
  X(ntohs, winsock::u_short, (winsock::u_short netshort))                                          \
  X(inet_addr, winsock::u_long, (const char* cp))                                                  \
  X(inet_ntoa, char*, (winsock::in_addr in))                                                       \
  X(listen, int, (winsock::SOCKET s, int backlog))                                                 \
  X(recv, int, (winsock::SOCKET s, char* buf, int len, int flags))                                 \
  X(recvfrom, int,                                                                                 \
    (winsock::SOCKET s, char* buf, int len, int flags, winsock::sockaddr* from, int* fromlen))     \
  X(send, int, (winsock::SOCKET s, const char* buf, int len, int flags))                           \
  X(sendto, int,                                                                                   \
    (winsock::SOCKET s, const char* buf, int len, int flags, const winsock::sockaddr* to,          \
     int tolen))                                                                                   \
  X(socket, winsock::SOCKET, (int af, int type, int protocol))                                     \
  X(WSAStartup, int, (winsock::WORD wVersionRequired, winsock::WSADATA * lpWSAData))               \
  X(WSACleanup, int, ())                                                                           \
  X(WSAGetLastError, int, ())                                                                      \
  X(WSAIsBlocking, int, ())                                                                        \
  X(WSACancelBlockingCall, int, ())                                                                \
  X(WSAAsyncSelect, int,                                                                           \
    (winsock::SOCKET s, winsock::HWND hWnd, winsock::u_int wMsg, long lEvent))                     \
  X(WSAAsyncGetHostByName, winsock::HANDLE,                                                        \
    (winsock::HWND hWnd, winsock::u_int wMsg, const char* name, char* buf, int buflen))            \
  X(WSAAsyncGetHostByAddr, winsock::HANDLE,                                                        \
    (winsock::HWND hWnd, winsock::u_int wMsg, const char* addr, int len, int type, char* buf,      \
     int buflen))                                                                                  \
  X(WSAAsyncGetServByName, winsock::HANDLE,                                                        \
    (winsock::HWND hWnd, winsock::u_int wMsg, const char* name, const char* proto, char* buf,      \
     int buflen))                                                                                  \
  X(WSAAsyncGetServByPort, winsock::HANDLE,                                                        \
    (winsock::HWND hWnd, winsock::u_int wMsg, int port, const char* proto, char* buf, int buflen)) \
  X(WSACancelAsyncRequest, int, (winsock::HANDLE hAsyncTaskHandle))

// Function pointer types, one per entry point: socket_fn, WSAStartup_fn, ...
#define WINSOCK_DECLARE_FN(name, result, params) using name##_fn = result(*) params;
WINSOCK_ENTRY_POINTS(WINSOCK_DECLARE_FN)
#undef WINSOCK_DECLARE_FN

}  // namespace winsock
