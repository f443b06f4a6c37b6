// The address calls: text and numbers, getaddrinfo's list in the interface's
// layout, the test switch's file of names, and the library's own asynchronous
// look-up. (IPv6 sockets are met through the socket components.)
#include <cstring>
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
  // Each node as "family address port", read back through getnameinfo.
  std::vector<std::string> Read(const ADDRINFOA* node) const {
    std::vector<std::string> answers;
    for (; node; node = node->ai_next) {
      EXPECT_EQ(node->ai_addrlen, node->ai_family == kInet6 ? 28u : 16u);
      char host[winsock::NI_MAXHOST] = "?", port[winsock::NI_MAXSERV] = "?";
      ws.getnameinfo(node->ai_addr, int(node->ai_addrlen), host, sizeof host, port, sizeof port,
                     winsock::NI_NUMERICHOST | winsock::NI_NUMERICSERV);
      answers.push_back(std::to_string(node->ai_family) + " " + host + " " + port);
    }
    return answers;
  }

  // getaddrinfo's answer for a stream, or "error N" when it fails.
  std::vector<std::string> Lookup(const char* node, int family) {
    ADDRINFOA hints{};
    hints.ai_family = family;
    hints.ai_socktype = winsock::SOCK_STREAM;
    ADDRINFOA* list = nullptr;
    if (const int error = ws.getaddrinfo(node, "6697", &hints, &list)) return Error(error);
    const std::vector<std::string> answers = Read(list);
    ws.freeaddrinfo(list);
    return answers;
  }
  static std::vector<std::string> Error(int code) { return {"error " + std::to_string(code)}; }

  using Answers = std::vector<std::string>;
  testsupport::HostsFile hosts_;  // before the library starts
};

TEST_F(AddressCallsTest, TextNumbersAndGetAddrInfoInTheInterfacesLayout) {
  winsock::in6_addr address;
  ASSERT_EQ(ws.inet_pton(kInet6, "2001:db8::7", &address), 1);
  EXPECT_EQ(std::memcmp(&address, "\x20\x01\x0d\xb8\0\0\0\0\0\0\0\0\0\0\0\x07", 16), 0);
  char text[winsock::INET6_ADDRSTRLEN];
  EXPECT_STREQ(ws.inet_ntop(kInet6, &address, text, sizeof text), "2001:db8::7");
  for (const char* bad : {"::1::", "[::1]", "fe80::1%lo"})
    EXPECT_EQ(ws.inet_pton(kInet6, bad, &address), 0) << bad;
  EXPECT_EQ(ws.inet_pton(10, "::1", &address), -1);  // the POSIX number of IPv6
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEAFNOSUPPORT);
  EXPECT_EQ(ws.inet_ntop(kInet6, &address, text, 3), nullptr);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::ERROR_INVALID_PARAMETER);

  // An IPv6 address given as long as an IPv4 one is not read past its end.
  winsock::sockaddr_in6 short_address{};
  short_address.sin6_family = kInet6;
  EXPECT_EQ(ws.getnameinfo(reinterpret_cast<const winsock::sockaddr*>(&short_address), 16, text,
                           sizeof text, nullptr, 0, winsock::NI_NUMERICHOST),
            winsock::WSAEFAULT);

  EXPECT_EQ(Lookup("::1", 0), Answers{"23 ::1 6697"});
  EXPECT_EQ(Lookup("no-such-host.invalid", 0), Error(winsock::EAI_NONAME));
  EXPECT_EQ(Lookup("::1", 10), Error(winsock::EAI_FAMILY));
}

TEST_F(AddressCallsTest, TheTestSwitchAnswersNamesFromAFileInItsOrderAsynchronouslyToo) {
  EXPECT_EQ(Lookup("dual.test", 0), (Answers{"23 ::1 6697", "2 127.0.0.1 6697"}));
  EXPECT_EQ(Lookup("DUAL.TEST", kInet), Answers{"2 127.0.0.1 6697"});
  EXPECT_EQ(Lookup("dual.test", kInet6), Answers{"23 ::1 6697"});
  EXPECT_EQ(Lookup("six.test", kInet), Error(winsock::WSANO_DATA));
  // localhost stays IPv4 unless only IPv6 is asked for.
  EXPECT_EQ(Lookup("localhost", 0), Answers{"2 127.0.0.1 6697"});
  EXPECT_EQ(Lookup("localhost", kInet6), Answers{"23 ::1 6697"});

  // The asynchronous look-ups: the 1.1 one of a listed name gives its IPv4
  // addresses alone; getaddrinfo's list is packed into the caller's buffer.
  const auto done = [&](winsock::HANDLE request) {
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !NotesOf(kLookup, request).empty(); }));
    return NotesOf(kLookup, request).at(0);
  };
  alignas(8) char buffer[winsock::MAXGETADDRINFOSTRUCT];
  ASSERT_EQ(
      done(ws.WSAAsyncGetHostByName(window, kLookup, "dual.test", buffer, sizeof buffer)).error, 0);
  const auto& host = *reinterpret_cast<const winsock::hostent*>(buffer);
  EXPECT_EQ(std::memcmp(host.h_addr_list[0], "\x7f\0\0\x01", 4), 0);
  EXPECT_EQ(host.h_addr_list[1], nullptr);

  ADDRINFOA hints{};
  hints.ai_socktype = winsock::SOCK_STREAM;
  const Note whole = done(
      ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", "6697", &hints, buffer, sizeof buffer));
  ASSERT_EQ(whole.error, 0);
  const auto* list = reinterpret_cast<const ADDRINFOA*>(buffer);
  EXPECT_EQ(Read(list), (Answers{"23 ::1 6697", "2 127.0.0.1 6697"}));
  for (const ADDRINFOA* node = list; node; node = node->ai_next) {
    const char* address = reinterpret_cast<const char*>(node->ai_addr);
    EXPECT_TRUE(address >= buffer && address + node->ai_addrlen <= buffer + whole.low);
  }

  // Too small a buffer: the size the whole list took.
  char small[40];
  EXPECT_EQ(done(ws.WSAAsyncGetAddrInfo(window, kLookup, "dual.test", "6697", &hints, small,
                                        sizeof small)),
            (Note{whole.low, winsock::WSAENOBUFS}));
}

}  // namespace
}  // namespace wsock32test
