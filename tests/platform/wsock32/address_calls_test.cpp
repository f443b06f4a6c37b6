// IPv6 and the address calls: text and numbers, getaddrinfo's list in the
// interface's layout, the test switch's file of names, the library's own
// asynchronous look-up, and IPv6 sockets that connect, listen and accept.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/wsock32/wsock32_fixture.h"

namespace wsock32test {
namespace {

using winsock::ADDRINFOA;

// One node of an answer, as text.
struct Answer {
  int family;
  std::string address;
  int port;
  bool operator==(const Answer&) const = default;
};
void PrintTo(const Answer& answer, std::ostream* out) {
  *out << answer.family << " " << answer.address << " " << answer.port;
}

class AddressCallsTest : public WinsockTest {
 protected:
  void TearDown() override {
    WinsockTest::TearDown();
    unsetenv("WSOCK32_HOSTS_FILE");
    unsetenv("WSOCK32_LOOKUP_DELAY_MS");
    std::filesystem::remove(hosts_);
  }

  // Starts the library again with a file of names (and a look-up delay).
  void RestartWithHosts(const std::string& lines, const char* delay = "0") {
    ASSERT_EQ(ws.WSACleanup(), 0);
    FILE* file = std::fopen(hosts_.c_str(), "w");
    ASSERT_TRUE(file);
    std::fputs(lines.c_str(), file);
    std::fclose(file);
    setenv("WSOCK32_HOSTS_FILE", hosts_.c_str(), 1);
    setenv("WSOCK32_LOOKUP_DELAY_MS", delay, 1);
    winsock::WSADATA data;
    ASSERT_EQ(ws.WSAStartup(0x0101, &data), 0);
  }

  std::vector<Answer> Read(const ADDRINFOA* node) const {
    std::vector<Answer> answers;
    for (; node; node = node->ai_next) {
      char text[winsock::INET6_ADDRSTRLEN];
      int port = 0;
      if (node->ai_family == winsock::AF_INET6) {
        EXPECT_EQ(node->ai_addrlen, sizeof(winsock::sockaddr_in6));
        const auto* address = reinterpret_cast<const winsock::sockaddr_in6*>(node->ai_addr);
        EXPECT_EQ(address->sin6_family, winsock::AF_INET6);
        ws.inet_ntop(winsock::AF_INET6, &address->sin6_addr, text, sizeof text);
        port = ws.ntohs(address->sin6_port);
      } else {
        EXPECT_EQ(node->ai_addrlen, sizeof(winsock::sockaddr_in));
        const auto* address = reinterpret_cast<const winsock::sockaddr_in*>(node->ai_addr);
        ws.inet_ntop(winsock::AF_INET, &address->sin_addr, text, sizeof text);
        port = ws.ntohs(address->sin_port);
      }
      answers.push_back({node->ai_family, text, port});
    }
    return answers;
  }

  // getaddrinfo's answer for a stream, or its error.
  std::vector<Answer> Lookup(const char* node, int family, int* error = nullptr) {
    ADDRINFOA hints{};
    hints.ai_family = family;
    hints.ai_socktype = winsock::SOCK_STREAM;
    ADDRINFOA* list = nullptr;
    const int result = ws.getaddrinfo(node, "6697", &hints, &list);
    if (error) *error = result;
    const std::vector<Answer> answers = Read(list);
    ws.freeaddrinfo(list);
    return answers;
  }

  const std::string hosts_ =
      (std::filesystem::temp_directory_path() / ("wsock32-hosts-" + std::to_string(getpid())))
          .string();
};

constexpr int kInet = winsock::AF_INET;
constexpr int kInet6 = winsock::AF_INET6;

TEST_F(AddressCallsTest, TextAndNumbersInBothFamilies) {
  winsock::in6_addr address;
  ASSERT_EQ(ws.inet_pton(kInet6, "2001:db8::7", &address), 1);
  EXPECT_EQ(address.u.Byte[0], 0x20);
  EXPECT_EQ(address.u.Byte[15], 0x07);
  char text[winsock::INET6_ADDRSTRLEN];
  EXPECT_STREQ(ws.inet_ntop(kInet6, &address, text, sizeof text), "2001:db8::7");
  for (const char* bad : {"::1::", "[::1]", "fe80::1%lo", "1.2.3"}) {
    EXPECT_EQ(ws.inet_pton(kInet6, bad, &address), 0) << bad;
  }
  EXPECT_EQ(ws.inet_pton(99, "::1", &address), -1);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEAFNOSUPPORT);
  EXPECT_EQ(ws.inet_ntop(kInet6, &address, text, 3), nullptr);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::ERROR_INVALID_PARAMETER);
  winsock::in_addr v4;
  ASSERT_EQ(ws.inet_pton(kInet, "192.168.1.8", &v4), 1);
  EXPECT_EQ(v4.s_addr, ws.inet_addr("192.168.1.8"));

  // getnameinfo reads the interface's 28-byte layout.
  winsock::sockaddr_in6 socket_address{};
  socket_address.sin6_family = kInet6;
  socket_address.sin6_port = ws.htons(6697);
  socket_address.sin6_addr = address;
  char host[winsock::NI_MAXHOST];
  char service[winsock::NI_MAXSERV];
  EXPECT_EQ(ws.getnameinfo(reinterpret_cast<const winsock::sockaddr*>(&socket_address),
                           sizeof socket_address, host, sizeof host, service, sizeof service,
                           winsock::NI_NUMERICHOST | winsock::NI_NUMERICSERV),
            0);
  EXPECT_STREQ(host, "2001:db8::7");
  EXPECT_STREQ(service, "6697");
  EXPECT_EQ(ws.getnameinfo(reinterpret_cast<const winsock::sockaddr*>(&socket_address), 16, host,
                           sizeof host, nullptr, 0, winsock::NI_NUMERICHOST),
            winsock::WSAEFAULT);
}

TEST_F(AddressCallsTest, GetAddrInfoGivesTheInterfacesLayoutAndErrors) {
  EXPECT_EQ(Lookup("::1", 0), (std::vector<Answer>{{kInet6, "::1", 6697}}));
  EXPECT_EQ(Lookup("127.0.0.1", 0), (std::vector<Answer>{{kInet, "127.0.0.1", 6697}}));
  int error = 0;
  EXPECT_TRUE(Lookup("::1", kInet, &error).empty());
  EXPECT_NE(error, 0);
  EXPECT_TRUE(Lookup("no-such-host.invalid", 0, &error).empty());
  EXPECT_EQ(error, winsock::EAI_NONAME);
  ADDRINFOA hints{};
  hints.ai_flags = 0x10000;
  ADDRINFOA* list = nullptr;
  EXPECT_EQ(ws.getaddrinfo("::1", nullptr, &hints, &list), winsock::EAI_BADFLAGS);
  hints = {};
  hints.ai_family = 10;  // the POSIX number of IPv6, not the interface's
  EXPECT_EQ(ws.getaddrinfo("::1", nullptr, &hints, &list), winsock::EAI_FAMILY);
  EXPECT_EQ(list, nullptr);
}

TEST_F(AddressCallsTest, TheTestSwitchAnswersNamesFromAFileInItsOrder) {
  RestartWithHosts("# names for the tests\n\ndual.test ::1 127.0.0.1\nSIX.test ::1\n");
  EXPECT_EQ(Lookup("dual.test", 0),
            (std::vector<Answer>{{kInet6, "::1", 6697}, {kInet, "127.0.0.1", 6697}}));
  EXPECT_EQ(Lookup("DUAL.TEST", kInet), (std::vector<Answer>{{kInet, "127.0.0.1", 6697}}));
  EXPECT_EQ(Lookup("dual.test", kInet6), (std::vector<Answer>{{kInet6, "::1", 6697}}));
  int error = 0;
  EXPECT_TRUE(Lookup("six.test", kInet, &error).empty());
  EXPECT_EQ(error, winsock::WSANO_DATA);
  // localhost stays IPv4 unless only IPv6 is asked for.
  EXPECT_EQ(Lookup("localhost", 0), (std::vector<Answer>{{kInet, "127.0.0.1", 6697}}));
  EXPECT_EQ(Lookup("localhost", kInet6), (std::vector<Answer>{{kInet6, "::1", 6697}}));

  // The 1.1 look-up of a listed name gives its IPv4 addresses.
  alignas(8) char buffer[winsock::MAXGETHOSTSTRUCT];
  const winsock::HANDLE by_name =
      ws.WSAAsyncGetHostByName(window, kLookup, "dual.test", buffer, sizeof buffer);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !NotesOf(kLookup, by_name).empty(); }));
  EXPECT_EQ(NotesOf(kLookup, by_name).front().error, 0);
  const auto& host = *reinterpret_cast<const winsock::hostent*>(buffer);
  ASSERT_NE(host.h_addr_list[0], nullptr);
  EXPECT_EQ(host.h_addr_list[1], nullptr);
  EXPECT_EQ(std::memcmp(host.h_addr_list[0], "\x7f\0\0\x01", 4), 0);
}

TEST_F(AddressCallsTest, TheAsynchronousLookUpPacksTheListIntoTheBufferAndCancels) {
  RestartWithHosts("dual.test ::1 127.0.0.1\n");
  ADDRINFOA hints{};
  hints.ai_socktype = winsock::SOCK_STREAM;
  alignas(8) char buffer[winsock::MAXGETADDRINFOSTRUCT];
  const winsock::HANDLE request =
      ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", "6697", &hints, buffer, sizeof buffer);
  ASSERT_NE(request, 0u);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !NotesOf(kLookup, request).empty(); }));
  const Note done = NotesOf(kLookup, request).front();
  ASSERT_EQ(done.error, 0);
  const auto* list = reinterpret_cast<const ADDRINFOA*>(buffer);
  EXPECT_EQ(Read(list), (std::vector<Answer>{{kInet6, "::1", 6697}, {kInet, "127.0.0.1", 6697}}));
  for (const ADDRINFOA* node = list; node; node = node->ai_next) {
    const char* address = reinterpret_cast<const char*>(node->ai_addr);
    EXPECT_TRUE(address >= buffer && address + node->ai_addrlen <= buffer + done.low);
  }

  // Too small a buffer: the size needed, and the buffer untouched.
  char small[40];
  std::memset(small, '#', sizeof small);
  const winsock::HANDLE short_request =
      ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", "6697", &hints, small, sizeof small);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !NotesOf(kLookup, short_request).empty(); }));
  EXPECT_EQ(NotesOf(kLookup, short_request).front(), (Note{done.low, winsock::WSAENOBUFS}));
  EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, '#'));

  RestartWithHosts("dual.test ::1 127.0.0.1\n", "forever");
  const winsock::HANDLE held =
      ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", nullptr, nullptr, small, sizeof small);
  EXPECT_EQ(ws.WSACancelAsyncRequest(held), 0);
  Settle();
  EXPECT_TRUE(NotesOf(kLookup, held).empty());
  EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, '#'));
}

winsock::sockaddr_in6 Loopback6(const EntryPoints& ws, std::uint16_t port) {
  winsock::sockaddr_in6 address{};
  address.sin6_family = kInet6;
  address.sin6_port = ws.htons(port);
  ws.inet_pton(kInet6, "::1", &address.sin6_addr);
  return address;
}

TEST_F(AddressCallsTest, IPv6SocketsListenAcceptConnectAndAreRefused) {
  const winsock::SOCKET server = ws.socket(kInet6, winsock::SOCK_STREAM, 0);
  ASSERT_NE(server, winsock::INVALID_SOCKET);
  opened.push_back(server);
  winsock::sockaddr_in6 local = Loopback6(ws, 0);
  auto* name = reinterpret_cast<winsock::sockaddr*>(&local);
  if (ws.bind(server, name, sizeof local) != 0) GTEST_SKIP() << "no IPv6 loopback";
  int length = 16;
  EXPECT_EQ(ws.getsockname(server, name, &length), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEFAULT);
  length = sizeof local;
  ASSERT_EQ(ws.getsockname(server, name, &length), 0);
  EXPECT_EQ(length, 28);
  EXPECT_EQ(ws.WSAAsyncSelect(server, window, kSelect, winsock::FD_ACCEPT), 0);
  ASSERT_EQ(ws.listen(server, 4), 0);

  const winsock::SOCKET client = ws.socket(kInet6, winsock::SOCK_STREAM, 0);
  opened.push_back(client);
  EXPECT_EQ(ws.WSAAsyncSelect(client, window, kSelect, kStreamEvents), 0);
  EXPECT_EQ(ws.connect(client, name, sizeof local), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  ASSERT_TRUE(WaitForEvent(client, winsock::FD_CONNECT));
  EXPECT_EQ(EventsOf(client).front(), (Note{winsock::FD_CONNECT, 0}));
  ASSERT_TRUE(WaitForEvent(server, winsock::FD_ACCEPT));
  winsock::SOCKADDR_STORAGE peer;
  int peer_length = 16;
  EXPECT_EQ(ws.accept(server, reinterpret_cast<winsock::sockaddr*>(&peer), &peer_length),
            winsock::INVALID_SOCKET);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEFAULT);
  peer_length = sizeof peer;
  const winsock::SOCKET accepted =
      ws.accept(server, reinterpret_cast<winsock::sockaddr*>(&peer), &peer_length);
  ASSERT_NE(accepted, winsock::INVALID_SOCKET);
  opened.push_back(accepted);
  EXPECT_EQ(peer_length, 28);
  EXPECT_EQ(peer.ss_family, kInet6);

  // An IPv4 address on an IPv6 socket is refused, as is a port nobody listens on.
  const winsock::SOCKET other = ws.socket(kInet6, winsock::SOCK_STREAM, 0);
  opened.push_back(other);
  const winsock::sockaddr_in v4 = Loopback(listener.Port());
  EXPECT_EQ(ws.connect(other, reinterpret_cast<const winsock::sockaddr*>(&v4), sizeof v4),
            winsock::SOCKET_ERROR);
  EXPECT_NE(ws.WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  const winsock::SOCKET refused = ws.socket(kInet6, winsock::SOCK_STREAM, 0);
  opened.push_back(refused);
  EXPECT_EQ(ws.WSAAsyncSelect(refused, window, kSelect, kStreamEvents), 0);
  const winsock::sockaddr_in6 nobody = Loopback6(ws, listener.Port());
  EXPECT_EQ(ws.connect(refused, reinterpret_cast<const winsock::sockaddr*>(&nobody), 27),
            winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEFAULT);
  ws.connect(refused, reinterpret_cast<const winsock::sockaddr*>(&nobody), sizeof nobody);
  ASSERT_TRUE(WaitForEvent(refused, winsock::FD_CONNECT));
  EXPECT_EQ(EventsOf(refused).front(), (Note{winsock::FD_CONNECT, winsock::WSAECONNREFUSED}));
}

}  // namespace
}  // namespace wsock32test
