// The datagram socket on loopback, owned by server components: datagrams to an
// address and to the connected destination, from an IPv6 sender, the size limit, and the handle
// kept across Close and a failed bind.
#include <string>
#include <vector>

#include "sockets/address_text.h"
#include "sockets/winsock_unit.h"
#include "tests/sockets/component_fixture.h"
#include "tests/support/hosts_file.h"

namespace sockets_test {
namespace {

using sockets::TDatagramSocket;

// A server component with a bound datagram socket that keeps each datagram
// with its sender's port.
struct DatagramEnd {
  struct Datagram {
    std::string data;
    std::uint16_t from_port;
  };
  DatagramEnd() {
    server.OnRead = [this](TSockCtrl&, TSocketBase*) {
      std::vector<char> buffer(70000);
      winsock::sockaddr_in from{};
      int from_length = sizeof from;
      const int n = socket().ReceiveFrom(buffer.data(), int(buffer.size()), &from, &from_length);
      received.push_back({{buffer.data(), std::size_t(n)}, sockets::AddressToText(from).Port});
    };
    server.OpenOnLoopback(kDatagram);
  }
  TDatagramSocket& socket() { return server.Datagrams(); }
  std::uint16_t port() const { return server.PortNumber(); }
  bool Got(std::size_t count) {
    return WaitUntil([&] { return received.size() == count; });
  }

  LoggingServer server;
  std::vector<Datagram> received;
};

// Datagrams go to an address or to the connected destination, each with its
// sender's port, unless they exceed the library's limit.
TEST_F(ServerTest, ADatagramAboveTheLibrarysLimitIsRefusedBeforeAnythingIsSent) {
  struct Case {
    winsock::WORD limit;
    int size;
    bool connected;
    const char* outcome;
  };
  const Case cases[] = {
      {65467, 65467, false, "sent"},
      {65467, 65468, false, "Datagram exceeds Winsock's max UDP packet size"},
      {65467, 65468, true, "Datagram exceeds Winsock's max UDP packet size"},
      {0, 65468, true, "sent"},
  };
  DatagramEnd receiver, sender;
  std::string address = "127.0.0.1";
  const winsock::WORD saved_limit = sockets::WSAData.iMaxUdpDg;
  for (const Case& c : cases) {
    sockets::WSAData.iMaxUdpDg = c.limit;
    if (c.connected && !sender.socket().Connected()) {
      sender.server.log.clear();
      sender.socket().Connect("", address, "", receiver.port(), {});
      EXPECT_EQ(sender.server.log, (Log{"Looking-up a host name", "Connecting"}));
    }
    sender.server.log.clear();
    receiver.received.clear();
    const std::string datagram(std::size_t(c.size), 'x');
    const std::string outcome = Outcome([&] {
      if (c.connected) {
        sender.socket().Send(datagram.data(), c.size);
      } else {
        sender.socket().SendTo("127.0.0.1", receiver.port(), datagram.data(), c.size);
      }
      throw std::runtime_error("sent");
    });
    EXPECT_EQ(outcome, c.outcome) << c.size << " with limit " << c.limit;
    EXPECT_EQ(sender.server.log, Log{"Sending Data"});
    if (outcome == "sent") {
      ASSERT_TRUE(receiver.Got(1));
      EXPECT_EQ(receiver.received[0].data, datagram);
      EXPECT_EQ(receiver.received[0].from_port, sender.port());
    }
  }
  sockets::WSAData.iMaxUdpDg = saved_limit;
}

TEST_F(ServerTest, ADatagramSocketHasAHandleFromItsCreationAndAFreshOneAfterClose) {
  DatagramEnd receiver;
  LoggingServer server;
  server.SetSocketClass(kDatagram);
  TDatagramSocket& socket = server.Datagrams();
  const winsock::SOCKET created = socket.Handle();
  EXPECT_EQ(Outcome([&] { socket.Send("x", 1); }), "Socket not open");
  server.OpenOnLoopback(kDatagram);
  EXPECT_EQ(socket.Handle(), created);

  server.Close();
  EXPECT_EQ(server.log, Log{"Closed"});
  EXPECT_NE(socket.Handle(), winsock::INVALID_SOCKET);
  EXPECT_NE(socket.Handle(), created);
  // The fresh handle is unbound: receiving asks the library, which refuses.
  char byte;
  EXPECT_EQ(Outcome([&] { socket.Recv(&byte, 1); }), "Error 10022 (Invalid argument) recieving");
  // A failed bind closes the socket too, and leaves another fresh handle.
  const winsock::SOCKET before_bind = socket.Handle();
  server.StoreListeningPort(receiver.port());
  EXPECT_EQ(Outcome([&] { server.Open(kDatagram); }),
            "Error 10048 (Address already in use) Binding Socket");
  EXPECT_NE(socket.Handle(), before_bind);
  EXPECT_NE(socket.Handle(), winsock::INVALID_SOCKET);
  // Sending needs no bind; a host name is looked up and the owner's port used.
  EXPECT_EQ(socket.SendToHost("localhost", "after close", 11), 11);
  EXPECT_EQ(sockets::AddressToText(socket.Addr()).Address, "127.0.0.1");
  EXPECT_TRUE(receiver.Got(1));
}

// A name whose first address is IPv6 still reaches an IPv4 socket's peer: the
// socket sends to the name's address of its own family.
TEST_F(ServerTest, ADatagramGoesToTheNamesAddressOfTheSocketsFamilyOrIsRefused) {
  testsupport::HostsFile hosts;  // before the first control
  DatagramEnd sender, receiver;
  EXPECT_EQ(sender.socket().SendTo("dual.test", receiver.port(), "to IPv4", 7), 7);
  ASSERT_TRUE(receiver.Got(1));
  EXPECT_EQ(receiver.received[0].data, "to IPv4");
  // A name with no address of a bound socket's family leaves its handle, which
  // still reads.
  EXPECT_EQ(Outcome([&] { sender.socket().SendTo("six.test", receiver.port(), "x", 1); }),
            "The host has no IPv4 address");
  EXPECT_EQ(receiver.socket().SendTo("127.0.0.1", sender.port(), "back", 4), 4);
  ASSERT_TRUE(sender.Got(1));
}

TEST_F(ServerTest, AnIPv6DatagramSocketReceivesWithRoomForTheSender) {
  if (!LoopbackSocket::Listen6().Valid()) GTEST_SKIP() << "no IPv6 loopback";
  LoggingServer receiver, sender;
  std::vector<std::string> got;
  receiver.OnRead = [&](TSockCtrl&, TSocketBase*) {
    char buffer[16];
    sockets::TSockAddress from;
    const int n = receiver.Datagrams().ReceiveFrom(buffer, sizeof buffer, from);
    got.push_back(std::string(buffer, std::size_t(n)) + " from " + sockets::EndpointText(from));
  };
  receiver.SetAddress("::1");
  receiver.StoreListeningPort(0);
  receiver.Open(kDatagram);
  sender.SetSocketClass(kDatagram);
  EXPECT_EQ(sender.Datagrams().SendTo("::1", receiver.PortNumber(), "six", 3), 3);
  ASSERT_TRUE(WaitUntil([&] { return !got.empty(); }));
  EXPECT_EQ(got[0], "six from [::1]:" + std::to_string(sender.Datagrams().GetLocalPort()));
}

// A read notification held back by a look-up wait, for a handle that closes
// meanwhile, must not make the fresh handle read.
TEST_F(StalledServerLookupTest, ANotificationForAClosedDatagramHandleIsDropped) {
  DatagramEnd sender, closing;
  Poll poll([&] {
    if (sockets::WaitNesting > 0 && !sockets::DeferredQueue.Empty()) closing.server.Close();
  });
  sender.socket().SendTo("127.0.0.1", closing.port(), "late", 4);
  EXPECT_NE(Outcome([&] { closing.server.LookupHostName("127.0.0.1"); }), "none");
  EXPECT_TRUE(WaitUntil([&] { return sockets::DeferredQueue.Empty(); }));
  EXPECT_TRUE(closing.received.empty());
  EXPECT_TRUE(reported.empty());
}

}  // namespace
}  // namespace sockets_test
