// The library's exports: the 27 entry points and the address calls, with the
// interface's names and signatures. This file sees no POSIX socket header (several names are the
// same as the C library's, with other signatures); it only forwards to the
// implementation and keeps exceptions from crossing into the caller.
#include <exception>
#include <new>
#include <type_traits>

#include "platform/wsock32/address_calls.h"
#include "platform/wsock32/address_text.h"
#include "platform/wsock32/error_state.h"
#include "platform/wsock32/lookups.h"
#include "platform/wsock32/socket_calls.h"
#include "platform/wsock32/startup.h"

#define WSOCK32_EXPORT extern "C" __attribute__((visibility("default")))

// The C library's headers declare u_short, u_long and u_int of their own.
namespace ws = winsock;

namespace {

// Runs an implementation call; a failure to allocate (the only exception it
// can raise) becomes WSAENOBUFS.
template <typename Result, typename Call>
Result Shielded(Result failure, Call&& call) noexcept {
  try {
    return call();
  } catch (const std::exception&) {
    return wsock32::Fail(ws::WSAENOBUFS, failure);
  }
}

}  // namespace

WSOCK32_EXPORT ws::SOCKET accept(ws::SOCKET s, ws::sockaddr* addr, int* addrlen) {
  return Shielded(ws::INVALID_SOCKET, [&] { return wsock32::Accept(s, addr, addrlen); });
}

WSOCK32_EXPORT int bind(ws::SOCKET s, const ws::sockaddr* name, int namelen) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::Bind(s, name, namelen); });
}

WSOCK32_EXPORT int closesocket(ws::SOCKET s) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::CloseSocket(s); });
}

WSOCK32_EXPORT int connect(ws::SOCKET s, const ws::sockaddr* name, int namelen) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::Connect(s, name, namelen); });
}

WSOCK32_EXPORT int ioctlsocket(ws::SOCKET s, std::int32_t cmd, ws::u_long* argp) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::IoctlSocket(s, cmd, argp); });
}

WSOCK32_EXPORT int getsockname(ws::SOCKET s, ws::sockaddr* name, int* namelen) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::GetSockName(s, name, namelen); });
}

WSOCK32_EXPORT ws::u_short htons(ws::u_short hostshort) {
  return wsock32::SwapShort(hostshort);
}

WSOCK32_EXPORT ws::u_short ntohs(ws::u_short netshort) {
  return wsock32::SwapShort(netshort);
}

WSOCK32_EXPORT ws::u_long inet_addr(const char* cp) {
  return wsock32::InetAddr(cp);
}

WSOCK32_EXPORT char* inet_ntoa(ws::in_addr in) {
  return wsock32::InetNtoa(in);
}

WSOCK32_EXPORT int listen(ws::SOCKET s, int backlog) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::Listen(s, backlog); });
}

WSOCK32_EXPORT int recv(ws::SOCKET s, char* buf, int len, int flags) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::Recv(s, buf, len, flags); });
}

WSOCK32_EXPORT int recvfrom(ws::SOCKET s, char* buf, int len, int flags, ws::sockaddr* from,
                            int* fromlen) {
  return Shielded(ws::SOCKET_ERROR,
                  [&] { return wsock32::RecvFrom(s, buf, len, flags, from, fromlen); });
}

WSOCK32_EXPORT int send(ws::SOCKET s, const char* buf, int len, int flags) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::Send(s, buf, len, flags); });
}

WSOCK32_EXPORT int sendto(ws::SOCKET s, const char* buf, int len, int flags, const ws::sockaddr* to,
                          int tolen) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::SendTo(s, buf, len, flags, to, tolen); });
}

WSOCK32_EXPORT ws::SOCKET socket(int af, int type, int protocol) {
  return Shielded(ws::INVALID_SOCKET, [&] { return wsock32::OpenSocket(af, type, protocol); });
}

WSOCK32_EXPORT int WSAStartup(ws::WORD wVersionRequired, ws::WSADATA* lpWSAData) {
  return wsock32::Startup(wVersionRequired, lpWSAData);
}

WSOCK32_EXPORT int WSACleanup() {
  return Shielded(ws::SOCKET_ERROR, [] { return wsock32::Cleanup(); });
}

WSOCK32_EXPORT int WSAGetLastError() {
  return wsock32::LastError();
}

WSOCK32_EXPORT int WSAIsBlocking() {
  return wsock32::IsBlocking();
}

WSOCK32_EXPORT int WSACancelBlockingCall() {
  return wsock32::CancelBlockingCall();
}

WSOCK32_EXPORT int WSAAsyncSelect(ws::SOCKET s, ws::HWND hWnd, ws::u_int wMsg, long lEvent) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::AsyncSelect(s, hWnd, wMsg, lEvent); });
}

WSOCK32_EXPORT ws::HANDLE WSAAsyncGetHostByName(ws::HWND hWnd, ws::u_int wMsg, const char* name,
                                                char* buf, int buflen) {
  return Shielded(ws::HANDLE{0},
                  [&] { return wsock32::GetHostByName(hWnd, wMsg, name, buf, buflen); });
}

WSOCK32_EXPORT ws::HANDLE WSAAsyncGetHostByAddr(ws::HWND hWnd, ws::u_int wMsg, const char* addr,
                                                int len, int type, char* buf, int buflen) {
  return Shielded(ws::HANDLE{0},
                  [&] { return wsock32::GetHostByAddr(hWnd, wMsg, addr, len, type, buf, buflen); });
}

WSOCK32_EXPORT ws::HANDLE WSAAsyncGetServByName(ws::HWND hWnd, ws::u_int wMsg, const char* name,
                                                const char* proto, char* buf, int buflen) {
  return Shielded(ws::HANDLE{0},
                  [&] { return wsock32::GetServByName(hWnd, wMsg, name, proto, buf, buflen); });
}

WSOCK32_EXPORT ws::HANDLE WSAAsyncGetServByPort(ws::HWND hWnd, ws::u_int wMsg, int port,
                                                const char* proto, char* buf, int buflen) {
  return Shielded(ws::HANDLE{0},
                  [&] { return wsock32::GetServByPort(hWnd, wMsg, port, proto, buf, buflen); });
}

WSOCK32_EXPORT int WSACancelAsyncRequest(ws::HANDLE hAsyncTaskHandle) {
  return Shielded(ws::SOCKET_ERROR, [&] { return wsock32::CancelAsyncRequest(hAsyncTaskHandle); });
}

WSOCK32_EXPORT int getaddrinfo(const char* pNodeName, const char* pServiceName,
                               const ws::ADDRINFOA* pHints, ws::ADDRINFOA** ppResult) {
  return Shielded(ws::EAI_MEMORY,
                  [&] { return wsock32::GetAddrInfo(pNodeName, pServiceName, pHints, ppResult); });
}

WSOCK32_EXPORT void freeaddrinfo(ws::ADDRINFOA* pAddrInfo) {
  wsock32::FreeAddrInfo(pAddrInfo);
}

WSOCK32_EXPORT int getnameinfo(const ws::sockaddr* pSockaddr, int SockaddrLength, char* pNodeBuffer,
                               ws::DWORD NodeBufferSize, char* pServiceBuffer,
                               ws::DWORD ServiceBufferSize, int Flags) {
  return Shielded(ws::EAI_MEMORY, [&] {
    return wsock32::GetNameInfo(pSockaddr, SockaddrLength, pNodeBuffer, NodeBufferSize,
                                pServiceBuffer, ServiceBufferSize, Flags);
  });
}

WSOCK32_EXPORT int inet_pton(int Family, const char* pszAddrString, void* pAddrBuf) {
  return wsock32::InetPton(Family, pszAddrString, pAddrBuf);
}

WSOCK32_EXPORT const char* inet_ntop(int Family, const void* pAddr, char* pStringBuf,
                                     std::size_t StringBufSize) {
  return wsock32::InetNtop(Family, pAddr, pStringBuf, StringBufSize);
}

// This library's own: Windows Sockets 2 has no look-up that completes by window
// message.
WSOCK32_EXPORT ws::HANDLE WSAAsyncGetAddrInfo(ws::HWND hWnd, ws::u_int wMsg, const char* pNodeName,
                                              const char* pServiceName, const ws::ADDRINFOA* pHints,
                                              char* buf, int buflen) {
  return Shielded(ws::HANDLE{0}, [&] {
    return wsock32::GetAddrInfoAsync(hWnd, wMsg, pNodeName, pServiceName, pHints, buf, buflen);
  });
}

// Every export has exactly the signature the binding expects of it.
#define WSOCK32_CHECK_SIGNATURE(name, result, params) \
  static_assert(std::is_same_v<decltype(&::name), winsock::name##_fn>, #name);
WINSOCK_ENTRY_POINTS(WSOCK32_CHECK_SIGNATURE)
WINSOCK2_ENTRY_POINTS(WSOCK32_CHECK_SIGNATURE)
#undef WSOCK32_CHECK_SIGNATURE
