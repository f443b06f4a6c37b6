// A stand-in socket library for the binding's tests: trivial versions of the
// entry points they call. `send` is left out on purpose: the C library defines
// it, so a binding that took a dependency's symbol for the library's own would
// show.
// Test switches, read at each call:
//   FAKESOCK_STARTUP_RESULT  the number WSAStartup returns (default 0)
//   FAKESOCK_BLOCKING        non-zero: WSAIsBlocking reports a blocking call
// FakeSockCallLog() lists the start and stop calls made so far.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/wsock32/winsock.h"

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
  return winsock::u_short(value << 8 | value >> 8);
}

FAKESOCK_EXPORT SOCKET socket(int, int, int) {
  return 7;
}
FAKESOCK_EXPORT int sendto(SOCKET, const char*, int len, int, const winsock::sockaddr*, int) {
  return len;
}
FAKESOCK_EXPORT int WSAGetLastError() {
  return winsock::WSAEWOULDBLOCK;
}
