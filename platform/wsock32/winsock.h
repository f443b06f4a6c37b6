// The socket library's interface: the Windows Sockets 1.1 types, numbers and
// layouts, and the signatures of its 27 entry points; then the Windows Sockets 2
// address calls for IPv6, and one asynchronous look-up of the library's own.
// Types only: the library is
// loaded at run time, so nothing here declares a function to link against.
// Kept free of POSIX headers, whose socket types and names would clash.
#pragma once

#include <cstddef>
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
using DWORD = std::uint32_t;

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

// Windows Sockets 2: IPv6 and the address calls. The numbers and layouts are
// the documented Windows ones, which differ from the POSIX ones in places.
constexpr int AF_UNSPEC = 0;
constexpr int AF_INET6 = 23;
constexpr int IPPROTO_IPV6 = 41;
constexpr int IPV6_V6ONLY = 27;  // at level IPPROTO_IPV6; on by default
constexpr int INET_ADDRSTRLEN = 22;
constexpr int INET6_ADDRSTRLEN = 65;
constexpr int ERROR_INVALID_PARAMETER = 87;

constexpr int AI_PASSIVE = 0x01;
constexpr int AI_CANONNAME = 0x02;
constexpr int AI_NUMERICHOST = 0x04;
constexpr int AI_NUMERICSERV = 0x08;
constexpr int AI_ALL = 0x0100;
constexpr int AI_ADDRCONFIG = 0x0400;
constexpr int AI_V4MAPPED = 0x0800;

// getaddrinfo's and getnameinfo's errors, as Windows Sockets numbers.
constexpr int EAI_AGAIN = WSATRY_AGAIN;
constexpr int EAI_BADFLAGS = WSAEINVAL;
constexpr int EAI_FAIL = WSANO_RECOVERY;
constexpr int EAI_FAMILY = WSAEAFNOSUPPORT;
constexpr int EAI_MEMORY = 8;
constexpr int EAI_NONAME = WSAHOST_NOT_FOUND;
constexpr int EAI_SERVICE = 10109;
constexpr int EAI_SOCKTYPE = WSAESOCKTNOSUPPORT;

constexpr int NI_NOFQDN = 0x01;
constexpr int NI_NUMERICHOST = 0x02;
constexpr int NI_NAMEREQD = 0x04;
constexpr int NI_NUMERICSERV = 0x08;
constexpr int NI_DGRAM = 0x10;
constexpr int NI_MAXHOST = 1025;
constexpr int NI_MAXSERV = 32;

struct in6_addr {
  union {
    std::uint8_t Byte[16];
    std::uint16_t Word[8];
  } u;
};
using IN6_ADDR = in6_addr;

struct sockaddr_in6 {
  u_short sin6_family;
  u_short sin6_port;  // network order
  u_long sin6_flowinfo;
  in6_addr sin6_addr;
  u_long sin6_scope_id;
};
static_assert(sizeof(sockaddr_in6) == 28);

// Room for an address of any family; its first u_short is the family.
struct alignas(8) SOCKADDR_STORAGE {
  u_short ss_family;
  char ss_pad[126];
};
static_assert(sizeof(SOCKADDR_STORAGE) == 128);

// The name comes before the address: the reverse of the C library's addrinfo.
struct ADDRINFOA {
  int ai_flags;
  int ai_family;
  int ai_socktype;
  int ai_protocol;
  std::size_t ai_addrlen;
  char* ai_canonname;
  sockaddr* ai_addr;
  ADDRINFOA* ai_next;
};

// The buffer a WSAAsyncGetAddrInfo is given, for a name with a few addresses of
// each family; a smaller one gets WSAENOBUFS and the size it needs.
constexpr int MAXGETADDRINFOSTRUCT = 4096;

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

// The Windows Sockets 2 address calls, with their documented signatures; and
// WSAAsyncGetAddrInfo, which is this library's own (Windows Sockets 2 has no
// look-up that completes by window message): getaddrinfo's answer, packed into
// the caller's buffer as a list of ADDRINFOA whose nodes, addresses and name all
// lie in that buffer, posted as the 1.1 look-ups post theirs and cancelled by
// WSACancelAsyncRequest.
#define WINSOCK2_ENTRY_POINTS(X)                                                               \
  X(getaddrinfo, int,                                                                          \
    (const char* pNodeName, const char* pServiceName, const winsock::ADDRINFOA* pHints,        \
     winsock::ADDRINFOA** ppResult))                                                           \
  X(freeaddrinfo, void, (winsock::ADDRINFOA * pAddrInfo))                                      \
  X(getnameinfo, int,                                                                          \
    (const winsock::sockaddr* pSockaddr, int SockaddrLength, char* pNodeBuffer,                \
     winsock::DWORD NodeBufferSize, char* pServiceBuffer, winsock::DWORD ServiceBufferSize,    \
     int Flags))                                                                               \
  X(inet_pton, int, (int Family, const char* pszAddrString, void* pAddrBuf))                   \
  X(inet_ntop, const char*,                                                                    \
    (int Family, const void* pAddr, char* pStringBuf, std::size_t StringBufSize))              \
  X(WSAAsyncGetAddrInfo, winsock::HANDLE,                                                      \
    (winsock::HWND hWnd, winsock::u_int wMsg, const char* pNodeName, const char* pServiceName, \
     const winsock::ADDRINFOA* pHints, char* buf, int buflen))

// Function pointer types, one per entry point: socket_fn, WSAStartup_fn, ...
#define WINSOCK_DECLARE_FN(name, result, params) using name##_fn = result(*) params;
WINSOCK_ENTRY_POINTS(WINSOCK_DECLARE_FN)
WINSOCK2_ENTRY_POINTS(WINSOCK_DECLARE_FN)
#undef WINSOCK_DECLARE_FN

}  // namespace winsock
