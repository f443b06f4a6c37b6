// The datagram socket on loopback, owned by server components: datagrams both
// ways, the size limit, sending to a host name, and the handle kept across
// Close.
#include <string>
#include <vector>

#include "sockets/address_text.h"
#include "sockets/winsock_unit.h"
#include "tests/sockets/server_fixture.h"

namespace sockets_test {
namespace {

using sockets::TDatagramSocket;
using testsupport::WaitUntil;

struct Datagram {
  std::string data;
  std::uint16_t from_port;
};

// An OnRead handler that takes each datagram with its sender's port.
sockets::TSocketEvent TakeDatagrams(std::vector<Datagram>& into) {
  return [&into](TSockCtrl&, TSocketBase* socket) {
    std::vector<char> buffer(70000);
    winsock::sockaddr_in from{};
    int from_length = sizeof from;
    const int n = dynamic_cast<TDatagramSocket&>(*socket).ReceiveFrom(
        buffer.data(), int(buffer.size()), &from, &from_length);
    if (socket->LastError() == 0) {
      into.push_back(
          {std::string(buffer.data(), std::size_t(n)), sockets::AddressToText(from).Port});
    }
  };
}

// A server component with a bound datagram socket that collects what arrives.
struct DatagramEnd {
  DatagramEnd() {
    server.OnRead = TakeDatagrams(received);
    server.OpenOnLoopback(kDatagram);
  }
  TDatagramSocket& socket() { return server.Datagrams(); }
  std::uint16_t port() const { return server.PortNumber(); }

  LoggingServer server;
  std::vector<Datagram> received;
};

// Sets the library's datagram limit that the sockets read, for one test.
class MaxUdpDg {
 public:
  explicit MaxUdpDg(winsock::WORD value) : saved_(sockets::WSAData.iMaxUdpDg) {
    sockets::WSAData.iMaxUdpDg = value;
  }
  ~MaxUdpDg() { sockets::WSAData.iMaxUdpDg = saved_; }

 private:
  winsock::WORD saved_;
};

TEST_F(ServerTest, DatagramsGoBothWaysToAnAddressAndToTheConnectedDestination) {
  DatagramEnd a, b;
  EXPECT_EQ(a.socket().SendTo("127.0.0.1", b.port(), "ping", 4), 4);
  ASSERT_TRUE(WaitUntil([&] { return b.received.size() == 1; }));
  EXPECT_EQ(b.received[0].data, "ping");
  EXPECT_EQ(b.received[0].from_port, a.port());

  EXPECT_EQ(b.socket().SendTo("127.0.0.1", b.received[0].from_port, "pong", 4), 4);
  ASSERT_TRUE(WaitUntil([&] { return a.received.size() == 1; }));
  EXPECT_EQ(a.received[0].data, "pong");

  b.server.log.clear();
  std::string address = "127.0.0.1";
  b.socket().Connect("", address, "", a.port(), {});
  EXPECT_TRUE(b.socket().Connected());
  EXPECT_EQ(b.socket().Send("to the peer", 11), 11);
  ASSERT_TRUE(WaitUntil([&] { return a.received.size() == 2; }));
  EXPECT_EQ(a.received[1].data, "to the peer");
  EXPECT_EQ(a.received[1].from_port, b.port());
  EXPECT_EQ(b.server.log, (Log{"Looking-up a host name", "Connecting", "Sending Data"}));
}

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
      {0, 65468, false, "sent"},
      {0, 65468, true, "sent"},
  };
  DatagramEnd receiver;
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.size) + " with limit " + std::to_string(c.limit);
    MaxUdpDg limit(c.limit);
    DatagramEnd sender;
    std::string address = "127.0.0.1";
    if (c.connected) sender.socket().Connect("", address, "", receiver.port(), {});
    sender.server.log.clear();
    receiver.received.clear();
    const std::string datagram(std::size_t(c.size), 'x');
    const std::string outcome = MessageOf([&] {
      const int sent = c.connected ? sender.socket().Send(datagram.data(), c.size)
                                   : sender.socket().SendTo("127.0.0.1", receiver.port(),
                                                            datagram.data(), c.size);
      throw std::runtime_error(sent == c.size ? "sent" : "sent " + std::to_string(sent));
    });
    EXPECT_EQ(outcome, c.outcome) << name;
    EXPECT_EQ(sender.server.log, Log{"Sending Data"}) << name;
    if (outcome == "sent") {
      ASSERT_TRUE(WaitUntil([&] { return receiver.received.size() == 1; })) << name;
      EXPECT_EQ(receiver.received[0].data.size(), std::size_t(c.size)) << name;
    }
  }
}

TEST_F(ServerTest, SendToHostLooksTheNameUpAndUsesTheOwnersPort) {
  DatagramEnd receiver;
  LoggingServer sender;
  sender.SetSocketClass(kDatagram);
  sender.StoreListeningPort(receiver.port());
  EXPECT_EQ(sender.Datagrams().SendToHost("localhost", "by name", 7), 7);
  EXPECT_EQ(sockets::AddressToText(sender.Datagrams().Addr()).Address, "127.0.0.1");
  ASSERT_TRUE(WaitUntil([&] { return receiver.received.size() == 1; }));
  EXPECT_EQ(receiver.received[0].data, "by name");
}

TEST_F(ServerTest, ADatagramSocketHasAHandleFromItsCreationAndAgainAfterClose) {
  DatagramEnd receiver;
  LoggingServer server;
  server.SetSocketClass(kDatagram);
  TDatagramSocket& socket = server.Datagrams();
  const winsock::SOCKET created = socket.Handle();
  ASSERT_NE(created, winsock::INVALID_SOCKET);
  EXPECT_EQ(MessageOf([&] { socket.Send("x", 1); }), "Socket not open");

  server.OpenOnLoopback(kDatagram);
  EXPECT_EQ(socket.Handle(), created);
  EXPECT_NE(server.PortNumber(), 0);

  server.Close();
  EXPECT_EQ(server.log, Log{"Closed"});
  EXPECT_NE(socket.Handle(), winsock::INVALID_SOCKET);
  EXPECT_NE(socket.Handle(), created);
  EXPECT_FALSE(server.Listening());
  // The fresh handle is unbound: receiving asks the library, which refuses.
  char byte;
  EXPECT_EQ(MessageOf([&] { socket.Recv(&byte, 1); }), "Error 10022 (Invalid argument) recieving");
  EXPECT_EQ(socket.SendTo("127.0.0.1", receiver.port(), "after close", 11), 11);
  ASSERT_TRUE(WaitUntil([&] { return receiver.received.size() == 1; }));
  EXPECT_EQ(receiver.received[0].data, "after close");
}

TEST_F(ServerTest, AFailedBindClosesTheDatagramSocketAndLeavesAFreshHandle) {
  DatagramEnd taken;
  LoggingServer server;
  server.SetSocketClass(kDatagram);
  const winsock::SOCKET created = server.Datagrams().Handle();
  server.SetAddress("127.0.0.1");
  server.StoreListeningPort(taken.port());
  EXPECT_EQ(MessageOf([&] { server.Open(kDatagram); }),
            "Error 10048 (Address already in use) Binding Socket");
  EXPECT_EQ(server.log, Log{"Closed"});
  EXPECT_NE(server.Datagrams().Handle(), winsock::INVALID_SOCKET);
  EXPECT_NE(server.Datagrams().Handle(), created);
}

}  // namespace
}  // namespace sockets_test
