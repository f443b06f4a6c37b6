// A stand-in socket library for the binding's tests: trivial versions of the
// entry points, all but `send`, which the C library also defines, so that a
// binding that took a dependency's symbol for the library's own would show.
// Test switches, read at each call:
//   FAKESOCK_STARTUP_RESULT  the number WSAStartup returns (default 0)
//   FAKESOCK_BLOCKING        non-zero: WSAIsBlocking reports a blocking call
// FakeSockCallLog() lists the start and stop calls made so far.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/wsock32/winsock.h"

using winsock::HANDLE;
using winsock::HWND;
using winsock::SOCKET;
using winsock::WORD;
using winsock::WSADATA;

namespace {

std::string call_log;

void Log(const char* call) {
  if (!call_log.empty()) call_log += ' ';
  call_log += call;
}

int Switch(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::atoi(value) : 0;
}

winsock::u_short Swap(winsock::u_short value) {
  return winsock::u_short(value << 8 | value >> 8);
}

char vendor_info[] = "fake vendor";

}  // namespace

#define FAKESOCK_EXPORT extern "C" __attribute__((visibility("default")))

FAKESOCK_EXPORT const char* FakeSockCallLog() {
  return call_log.c_str();
}

FAKESOCK_EXPORT int WSAStartup(WORD, WSADATA* data) {
  Log("WSAStartup");
  data->wVersion = 0x0101;
  data->wHighVersion = 0x0202;
  std::snprintf(data->szDescription, sizeof data->szDescription, "Fake sockets");
  std::snprintf(data->szSystemStatus, sizeof data->szSystemStatus, "Running");
  data->iMaxSockets = 99;
  data->iMaxUdpDg = 512;
  data->lpVendorInfo = vendor_info;
  return Switch("FAKESOCK_STARTUP_RESULT");
}

FAKESOCK_EXPORT int WSACleanup() {
  Log("WSACleanup");
  return 0;
}

FAKESOCK_EXPORT int WSAIsBlocking() {
  Log("WSAIsBlocking");
  return Switch("FAKESOCK_BLOCKING");
}

FAKESOCK_EXPORT int WSACancelBlockingCall() {
  Log("WSACancelBlockingCall");
  return 0;
}

FAKESOCK_EXPORT winsock::u_short htons(winsock::u_short value) {
  return Swap(value);
}
FAKESOCK_EXPORT winsock::u_short ntohs(winsock::u_short value) {
  return Swap(value);
}

// Strict a.b.c.d in decimal; anything else is winsock::INADDR_NONE.
FAKESOCK_EXPORT winsock::u_long inet_addr(const char* text) {
  unsigned part[4];
  char tail;
  if (std::sscanf(text, "%3u.%3u.%3u.%3u%c", &part[0], &part[1], &part[2], &part[3], &tail) != 4) {
    return winsock::INADDR_NONE;
  }
  winsock::u_long address = 0;
  for (int i = 3; i >= 0; --i) {
    if (part[i] > 255) return winsock::INADDR_NONE;
    address = address << 8 | part[i];
  }
  return address;
}

FAKESOCK_EXPORT char* inet_ntoa(winsock::in_addr in) {
  static char text[16];
  const winsock::u_long a = in.s_addr;
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", a & 0xFF, a >> 8 & 0xFF, a >> 16 & 0xFF,
                a >> 24 & 0xFF);
  return text;
}

FAKESOCK_EXPORT SOCKET socket(int, int, int) {
  return 7;
}
FAKESOCK_EXPORT SOCKET accept(SOCKET, winsock::sockaddr*, int*) {
  return winsock::INVALID_SOCKET;
}
FAKESOCK_EXPORT int bind(SOCKET, const winsock::sockaddr*, int) {
  return 0;
}
FAKESOCK_EXPORT int closesocket(SOCKET) {
  return 0;
}
FAKESOCK_EXPORT int connect(SOCKET, const winsock::sockaddr*, int) {
  return winsock::SOCKET_ERROR;
}
FAKESOCK_EXPORT int ioctlsocket(SOCKET, std::int32_t, winsock::u_long*) {
  return 0;
}
FAKESOCK_EXPORT int getsockname(SOCKET, winsock::sockaddr*, int*) {
  return 0;
}
FAKESOCK_EXPORT int listen(SOCKET, int) {
  return 0;
}
FAKESOCK_EXPORT int recv(SOCKET, char*, int, int) {
  return 0;
}
FAKESOCK_EXPORT int recvfrom(SOCKET, char*, int, int, winsock::sockaddr*, int*) {
  return 0;
}
FAKESOCK_EXPORT int sendto(SOCKET, const char*, int len, int, const winsock::sockaddr*, int) {
  return len;
}
FAKESOCK_EXPORT int WSAGetLastError() {
  return winsock::WSAEWOULDBLOCK;
}
FAKESOCK_EXPORT int WSAAsyncSelect(SOCKET, HWND, winsock::u_int, long) {
  return 0;
}
FAKESOCK_EXPORT HANDLE WSAAsyncGetHostByName(HWND, winsock::u_int, const char*, char*, int) {
  return 1;
}
FAKESOCK_EXPORT HANDLE WSAAsyncGetHostByAddr(HWND, winsock::u_int, const char*, int, int, char*,
                                             int) {
  return 2;
}
FAKESOCK_EXPORT HANDLE WSAAsyncGetServByName(HWND, winsock::u_int, const char*, const char*, char*,
                                             int) {
  return 3;
}
FAKESOCK_EXPORT HANDLE WSAAsyncGetServByPort(HWND, winsock::u_int, int, const char*, char*, int) {
  return 4;
}
FAKESOCK_EXPORT int WSACancelAsyncRequest(HANDLE) {
  return 0;
}
