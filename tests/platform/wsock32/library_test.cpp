// The library as a whole: its exports, start and clean-up, the calls that need
// no start, and its names kept apart from the program's.
#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/platform/wsock32/wsock32_fixture.h"

namespace wsock32test {
namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
  std::set<std::string> names;
  FILE* listing = popen(("nm -D --defined-only '" + library + "'").c_str(), "r");
  if (!listing) return names;
  char line[512];
  while (std::fgets(line, sizeof line, listing)) {
    char name[256];
    if (std::sscanf(line, "%*s %*s %255s", name) == 1) names.insert(name);
  }
  pclose(listing);
  return names;
}

TEST(Wsock32Library, ExportsExactlyTheEntryPointsOfTheInterface) {
  const std::set<std::string> expected = {
#define WSOCK32TEST_NAME(name, result, params) #name,
      WINSOCK_ENTRY_POINTS(WSOCK32TEST_NAME) WINSOCK2_ENTRY_POINTS(WSOCK32TEST_NAME)
#undef WSOCK32TEST_NAME
  };
  EXPECT_EQ(DefinedDynamicSymbols(LibraryPath()), expected);
}

TEST(Wsock32Library, CallsBeforeStartupFailWith10093) {
  const EntryPoints& ws = Winsock();
  char buffer[winsock::MAXGETHOSTSTRUCT];
  winsock::u_long count;
  const auto expect_not_started = [&](bool failed, const char* call) {
    EXPECT_TRUE(failed) << call;
    EXPECT_EQ(ws.WSAGetLastError(), winsock::WSANOTINITIALISED) << call;
  };
  expect_not_started(
      ws.socket(winsock::AF_INET, winsock::SOCK_STREAM, 0) == winsock::INVALID_SOCKET, "socket");
  expect_not_started(ws.closesocket(1) == winsock::SOCKET_ERROR, "closesocket");
  expect_not_started(ws.ioctlsocket(1, winsock::FIONREAD, &count) == winsock::SOCKET_ERROR,
                     "ioctlsocket");
  expect_not_started(ws.WSAAsyncSelect(1, 1, 2135, winsock::FD_READ) == winsock::SOCKET_ERROR,
                     "WSAAsyncSelect");
  expect_not_started(ws.WSAAsyncGetHostByName(1, 2138, "localhost", buffer, sizeof buffer) == 0,
                     "WSAAsyncGetHostByName");
  expect_not_started(ws.WSACancelAsyncRequest(1) == winsock::SOCKET_ERROR, "WSACancelAsyncRequest");
  expect_not_started(ws.WSACleanup() == winsock::SOCKET_ERROR, "WSACleanup");
}

TEST(Wsock32Library, StartsForVersion11AndCountsItsStarts) {
  const EntryPoints& ws = Winsock();
  winsock::WSADATA data{};
  EXPECT_EQ(ws.WSAStartup(0x0001, &data), winsock::WSAVERNOTSUPPORTED);
  EXPECT_EQ(data.wHighVersion, 0x0101);
  EXPECT_EQ(ws.WSACleanup(), winsock::SOCKET_ERROR);

  ASSERT_EQ(ws.WSAStartup(0x0202, &data), 0);
  EXPECT_EQ(data.wVersion, 0x0101);
  EXPECT_EQ(data.iMaxSockets, 32767);
  EXPECT_EQ(data.iMaxUdpDg, 65467);
  EXPECT_GT(std::string(data.szDescription).size(), 0u);
  ASSERT_EQ(ws.WSAStartup(0x0101, &data), 0);
  EXPECT_EQ(ws.WSAIsBlocking(), 0);
  EXPECT_EQ(ws.WSACancelBlockingCall(), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEINVAL);

  EXPECT_EQ(ws.WSACleanup(), 0);
  const winsock::SOCKET s = ws.socket(winsock::AF_INET, winsock::SOCK_DGRAM, 0);
  EXPECT_NE(s, winsock::INVALID_SOCKET);
  EXPECT_EQ(ws.WSACleanup(), 0);
  // The last clean-up closed the socket; its handle means nothing after a new start.
  ASSERT_EQ(ws.WSAStartup(0x0101, &data), 0);
  EXPECT_EQ(ws.closesocket(s), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAENOTSOCK);
  EXPECT_EQ(ws.WSACleanup(), 0);
}

TEST(Wsock32Library, ReadsAddressesAsTheDottedNotationAllows) {
  const EntryPoints& ws = Winsock();
  const std::pair<const char*, const char*> read[] = {
      {"1.2.3.4", "1.2.3.4"}, {"0x7f.1", "127.0.0.1"}, {"010.0.0.1", "8.0.0.1"},
      {"1.2.3", "1.2.0.3"},   {"16909060", "1.2.3.4"}, {"1.2.3.4 tail", "1.2.3.4"},
      {"0.0.0.0", "0.0.0.0"}};
  for (const auto& [text, address] : read) {
    EXPECT_STREQ(ws.inet_ntoa(winsock::in_addr{ws.inet_addr(text)}), address) << text;
  }
  for (const char* text : {"255.255.255.255", "1.2.3.256", "1.2.3.4.5", "", "host", "08", "0x",
                           "1..2", "4294967296", "1.2.3.4x"}) {
    EXPECT_EQ(ws.inet_addr(text), winsock::INADDR_NONE) << text;
  }
  const winsock::u_short port = ws.htons(0x1234);
  EXPECT_EQ(reinterpret_cast<const unsigned char*>(&port)[0], 0x12);
  EXPECT_EQ(ws.ntohs(port), 0x1234);
}

// The program's socket is still the C library's, and the library's differs:
// every notification test talks to the program's own loopback sockets.
TEST(Wsock32Library, KeepsItsSocketCallsOutOfTheProgramsLookup) {
  void* const own_socket = dlsym(RTLD_DEFAULT, "socket");
  Dl_info provider{};
  ASSERT_NE(dladdr(own_socket, &provider), 0);
  EXPECT_NE(std::string(provider.dli_fname).find("libc.so"), std::string::npos)
      << provider.dli_fname;
  EXPECT_NE(own_socket, dlsym(LibraryHandle(), "socket"));
}

}  // namespace
}  // namespace wsock32test
