// The address calls: text and numbers, getaddrinfo's list in the interface's
// layout, the test switch's file of names, and the library's own asynchronous
// look-up. (IPv6 sockets are met through the socket components.)
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/wsock32/wsock32_fixture.h"
#include "tests/support/hosts_file.h"

namespace wsock32test {
namespace {

using winsock::ADDRINFOA;
constexpr int kInet = winsock::AF_INET;
constexpr int kInet6 = winsock::AF_INET6;

class AddressCallsTest : public WinsockTest {
 protected:
  void TearDown() override {
    WinsockTest::TearDown();
    unsetenv("WSOCK32_LOOKUP_DELAY_MS");
  }

  // Starts the library again with a file of names and a look-up delay.
  void RestartWithHosts(const char* delay = "0") {
    ASSERT_EQ(ws.WSACleanup(), 0);
    hosts_.emplace("# names for the tests\n\ndual.test ::1 127.0.0.1\nSIX.test ::1\n");
    setenv("WSOCK32_LOOKUP_DELAY_MS", delay, 1);
    winsock::WSADATA data;
    ASSERT_EQ(ws.WSAStartup(0x0101, &data), 0);
  }

  // Each node as "family address port", read back through getnameinfo.
  std::vector<std::string> Read(const ADDRINFOA* node) const {
    std::vector<std::string> answers;
    for (; node; node = node->ai_next) {
      EXPECT_EQ(node->ai_addrlen, node->ai_family == kInet6 ? 28u : 16u);
      char host[winsock::NI_MAXHOST] = "?";
      char port[winsock::NI_MAXSERV] = "?";
      ws.getnameinfo(node->ai_addr, int(node->ai_addrlen), host, sizeof host, port, sizeof port,
                     winsock::NI_NUMERICHOST | winsock::NI_NUMERICSERV);
      answers.push_back(std::to_string(node->ai_family) + " " + host + " " + port);
    }
    return answers;
  }

  // getaddrinfo's answer for a stream; `error` takes its result.
  std::vector<std::string> Lookup(const char* node, int family, int* error = nullptr) {
    ADDRINFOA hints{};
    hints.ai_family = family;
    hints.ai_socktype = winsock::SOCK_STREAM;
    ADDRINFOA* list = nullptr;
    const int result = ws.getaddrinfo(node, "6697", &hints, &list);
    if (error) *error = result;
    const std::vector<std::string> answers = Read(list);
    ws.freeaddrinfo(list);
    return answers;
  }

  using Answers = std::vector<std::string>;
  std::optional<testsupport::HostsFile> hosts_;
};

TEST_F(AddressCallsTest, TextNumbersAndGetAddrInfoInTheInterfacesLayout) {
  winsock::in6_addr address;
  ASSERT_EQ(ws.inet_pton(kInet6, "2001:db8::7", &address), 1);
  EXPECT_EQ(address.u.Byte[0], 0x20);
  EXPECT_EQ(address.u.Byte[15], 0x07);
  char text[winsock::INET6_ADDRSTRLEN];
  EXPECT_STREQ(ws.inet_ntop(kInet6, &address, text, sizeof text), "2001:db8::7");
  for (const char* bad : {"::1::", "[::1]", "fe80::1%lo"}) {
    EXPECT_EQ(ws.inet_pton(kInet6, bad, &address), 0) << bad;
  }
  EXPECT_EQ(ws.inet_pton(10, "::1", &address), -1);  // the POSIX number of IPv6
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEAFNOSUPPORT);
  EXPECT_EQ(ws.inet_ntop(kInet6, &address, text, 3), nullptr);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::ERROR_INVALID_PARAMETER);

  winsock::sockaddr_in6 socket_address{};
  socket_address.sin6_family = kInet6;
  char host[winsock::NI_MAXHOST];
  EXPECT_EQ(ws.getnameinfo(reinterpret_cast<const winsock::sockaddr*>(&socket_address), 16, host,
                           sizeof host, nullptr, 0, winsock::NI_NUMERICHOST),
            winsock::WSAEFAULT);

  EXPECT_EQ(Lookup("::1", 0), Answers{"23 ::1 6697"});
  EXPECT_EQ(Lookup("127.0.0.1", 0), Answers{"2 127.0.0.1 6697"});
  int error = 0;
  EXPECT_TRUE(Lookup("no-such-host.invalid", 0, &error).empty());
  EXPECT_EQ(error, winsock::EAI_NONAME);
  ADDRINFOA hints{};
  ADDRINFOA* list = nullptr;
  hints.ai_family = 10;
  EXPECT_EQ(ws.getaddrinfo("::1", nullptr, &hints, &list), winsock::EAI_FAMILY);
}

TEST_F(AddressCallsTest, TheTestSwitchAnswersNamesFromAFileInItsOrder) {
  RestartWithHosts();
  EXPECT_EQ(Lookup("dual.test", 0), (Answers{"23 ::1 6697", "2 127.0.0.1 6697"}));
  EXPECT_EQ(Lookup("DUAL.TEST", kInet), Answers{"2 127.0.0.1 6697"});
  EXPECT_EQ(Lookup("dual.test", kInet6), Answers{"23 ::1 6697"});
  int error = 0;
  EXPECT_TRUE(Lookup("six.test", kInet, &error).empty());
  EXPECT_EQ(error, winsock::WSANO_DATA);
  // localhost stays IPv4 unless only IPv6 is asked for.
  EXPECT_EQ(Lookup("localhost", 0), Answers{"2 127.0.0.1 6697"});
  EXPECT_EQ(Lookup("localhost", kInet6), Answers{"23 ::1 6697"});

  // The 1.1 look-up of a listed name gives its IPv4 addresses alone.
  alignas(8) char buffer[winsock::MAXGETHOSTSTRUCT];
  const winsock::HANDLE by_name =
      ws.WSAAsyncGetHostByName(window, kLookup, "dual.test", buffer, sizeof buffer);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !NotesOf(kLookup, by_name).empty(); }));
  EXPECT_EQ(NotesOf(kLookup, by_name).front().error, 0);
  const auto& host = *reinterpret_cast<const winsock::hostent*>(buffer);
  EXPECT_EQ(std::memcmp(host.h_addr_list[0], "\x7f\0\0\x01", 4), 0);
  EXPECT_EQ(host.h_addr_list[1], nullptr);
}

TEST_F(AddressCallsTest, TheAsynchronousLookUpPacksTheListIntoTheBufferAndCancels) {
  RestartWithHosts();
  ADDRINFOA hints{};
  hints.ai_socktype = winsock::SOCK_STREAM;
  const auto done = [&](winsock::HANDLE request) {
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !NotesOf(kLookup, request).empty(); }));
    return NotesOf(kLookup, request).at(0);
  };
  alignas(8) char buffer[winsock::MAXGETADDRINFOSTRUCT];
  const Note whole = done(
      ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", "6697", &hints, buffer, sizeof buffer));
  ASSERT_EQ(whole.error, 0);
  const auto* list = reinterpret_cast<const ADDRINFOA*>(buffer);
  EXPECT_EQ(Read(list), (Answers{"23 ::1 6697", "2 127.0.0.1 6697"}));
  for (const ADDRINFOA* node = list; node; node = node->ai_next) {
    const char* address = reinterpret_cast<const char*>(node->ai_addr);
    EXPECT_TRUE(address >= buffer && address + node->ai_addrlen <= buffer + whole.low);
  }

  // Too small a buffer: the size needed, and the buffer untouched; and after a
  // cancel, no message and the buffer untouched.
  char small[40];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(done(ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", "6697", &hints, small,
                                        sizeof small)),
            (Note{whole.low, winsock::WSAENOBUFS}));
  RestartWithHosts("forever");
  const winsock::HANDLE held =
      ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", nullptr, nullptr, small, sizeof small);
  EXPECT_EQ(ws.WSACancelAsyncRequest(held), 0);
  Settle();
  EXPECT_TRUE(NotesOf(kLookup, held).empty());
  EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, '#'));
}

}  // namespace
}  // namespace wsock32test
