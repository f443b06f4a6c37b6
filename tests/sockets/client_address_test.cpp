// The client component's addresses beyond one IPv4 address: every address of a
// name tried in turn (a refused one, a silent one and one with no socket to be
// had giving way to the next), the address family setting, and texts that are
// no address. (A server on ::1 typed with and without brackets is met through
// the window.) Names come from the socket library's file of names, so nothing
// depends on the machine's hosts file.
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

#include "sockets/address_text.h"
#include "tests/sockets/component_fixture.h"
#include "tests/support/hosts_file.h"

namespace sockets_test {
namespace {

// Makes every later IPv6 socket of this process fail as on a kernel without IPv6.
bool DenyIPv6Sockets() {
  constexpr unsigned kKernelInet6 = 10;  // the kernel's AF_INET6, whose name winsock.h takes
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kKernelInet6, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAFNOSUPPORT),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{sizeof filter / sizeof *filter, filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

class AddressTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    if (!LoopbackSocket::Listen6().Valid()) GTEST_SKIP() << "no IPv6 loopback";
    client.OnAttempt = [this](TSockCtrl&, const std::string& note) { notes.push_back(note); };
  }

  // Opens the client to `address` at the listener's port.
  void OpenTo(const std::string& address) {
    client.SetAddress(address);
    client.SetPort(std::to_string(port));
    client.Open(kStream);
  }
  bool Connected(int timeout_ms = 5000) {
    return WaitUntil([&] { return client.Count("OnWrite") == 1; }, timeout_ms);
  }
  std::string Peer() const { return sockets::AddressText(client.Socket()->SockAddress()); }

  testsupport::HostsFile hosts_file;
  LoggingClient client;
  const std::uint16_t port = listener.Port();
  const std::string v6 = "[::1]:" + std::to_string(port);
  const std::string v4 = "127.0.0.1:" + std::to_string(port);
  Log notes;
};

TEST_F(AddressTest, ARefusedAddressGivesWayAtOnce) {
  OpenTo("dual.test");
  ASSERT_TRUE(Connected());
  EXPECT_EQ(notes, (Log{"connecting to " + v6, v6 + ": Connection refused; trying " + v4}));
  EXPECT_EQ(client.log, (Log{"Looking-up a host name", "Connecting", "Connection",
                             "OnConnect connected", "OnWrite"}));
  EXPECT_EQ(Peer(), "127.0.0.1");
  EXPECT_EQ(client.DottedAddress(), "127.0.0.1");
}

// With no IPv6 sockets to be had, a name's IPv6 addresses fail at once: the
// first gives way to the next address, and the last fails the connect as a
// refused one does (both are told as a failed connect, and take one way on).
// Run in a child process, which alone loses IPv6.
TEST_F(AddressTest, AnAddressWithNoSocketToBeHadFailsAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto run = [&] {
    LoopbackSocket refusing = LoopbackSocket::BoundOnly();
    const std::string at = ":" + std::to_string(refusing.Port()),
                      none = ": Address family not supported by protocol family";
    client.SetAddress("three.test");
    client.SetPort(std::to_string(refusing.Port()));
    if (DenyIPv6Sockets()) client.Open(kStream);
    const bool failed = WaitUntil([&] { return client.Count("OnConnect failed") == 1; });
    const bool told =
        notes == Log{"connecting to [::1]" + at, "[::1]" + at + none + "; trying 127.0.0.1" + at,
                     "127.0.0.1" + at + ": Connection refused; trying [::2]" + at,
                     "[::2]" + at + none};
    ::_exit(failed && told && client.Socket()->LastError() == 10047 && reported.empty() ? 0 : 1);
  };
  EXPECT_EXIT(run(), testing::ExitedWithCode(0), "");
}

TEST_F(AddressTest, ASilentAddressGivesWayAfterTwoSeconds) {
  // A listener whose queue is full drops further connection requests unanswered.
  LoopbackSocket silent = LoopbackSocket::Listen(0, true, port);
  ASSERT_TRUE(silent.Valid());
  LoopbackSocket queued = LoopbackSocket::ConnectTo(port, true);
  ASSERT_TRUE(silent.WaitReadable());
  OpenTo("dual.test");
  // The notes prove the hand-over; the bound only keeps a stuck connect from hanging.
  ASSERT_TRUE(Connected(10000));
  EXPECT_EQ(notes, (Log{"connecting to " + v6, v6 + ": no answer after 2 s; trying " + v4}));
  EXPECT_EQ(Peer(), "127.0.0.1");
}

TEST_F(AddressTest, TheAddressFamilyIsHonoured) {
  // With listeners on both, the note shows which address the family let through.
  LoopbackSocket listener6 = LoopbackSocket::Listen(8, true, port);
  for (const auto& [family, address] :
       {std::pair{sockets::afIPv4Only, v4}, {sockets::afIPv6Only, v6}}) {
    client.SetAddressFamily(family);
    notes.clear(), client.log.clear();
    OpenTo("dual.test");
    ASSERT_TRUE(Connected());
    EXPECT_EQ(notes, Log{"connecting to " + address});
    client.Close();
  }

  EXPECT_EQ(Outcome([&] { OpenTo("four.test"); }), "The host has no IPv6 address");
  client.SetAddressFamily(sockets::afIPv4Only);
  EXPECT_EQ(Outcome([&] { OpenTo("::1"); }), "The host has no IPv4 address");
}

TEST_F(AddressTest, TextsThatAreNoAddressAreRefusedInWords) {
  std::string forms;  // D dotted, 6 IPv6, H host name, ? unreadable
  for (const char* text : {"::1", "[2001:db8::7]", "fe80::1%lo", "192.168.001.010", "irc.example",
                           "::1::", "[::1", "fe80::1%nosuchif", "[irc.example]"}) {
    forms += "D6H?"[int(sockets::AddressForm(text))];
  }
  EXPECT_EQ(forms, "666DH????");
  EXPECT_EQ(Outcome([&] { OpenTo("::1::"); }),
            "The address is neither an IPv4 nor an IPv6 address nor a host name");
}

TEST(ConnectOrder, AlternatesTheFamiliesIPv6First) {
  std::vector<sockets::TSockAddress> given(5);
  for (int i = 0; i < 5; ++i) given[i].Length = i, given[i].Storage.ss_family = i % 3 ? 2 : 23;
  std::string order;  // 23, 2, 2, 23, 2 in: the IPv6 ones first of each pair
  for (const auto& address : sockets::InConnectOrder(given)) order += char('0' + address.Length);
  EXPECT_EQ(order, "01324");
}

}  // namespace
}  // namespace sockets_test
