// The addressing setters, the socket class, and the life of the socket library
// with the controls.
#include "sockets/winsock_unit.h"
#include "tests/sockets/component_fixture.h"

namespace sockets_test {
namespace {

TEST_F(ClientTest, SettersDeriveTheSettingsFromTheirText) {
  LoggingClient client;
  // The library's address reader decides; its answer for the broadcast address
  // is no address.
  for (const std::string address : {"10.0.0.1", "irc.example.org", "255.255.255.255", ""}) {
    const bool dotted = address == "10.0.0.1";
    client.SetAddress(address);
    EXPECT_EQ(client.DottedAddress(), dotted ? address : "") << address;
    EXPECT_EQ(client.HostName(), dotted ? "" : address) << address;
  }

  struct PortCase {
    std::string port, service;
    winsock::u_short number;
  };
  for (const PortCase& c : {PortCase{"21", "ftp", 21}, PortCase{"ftp", "ftp", 21},
                            PortCase{"no-such-service", "no-such-service", 0}}) {
    client.SetPort(c.port);
    EXPECT_EQ(client.Port(), c.port);
    EXPECT_EQ(client.ServiceName(), c.service) << c.port;
    EXPECT_EQ(client.PortNumber(), c.number) << c.port;
  }

  for (const auto& [protocol, name] : {std::pair{"6", "TCP"}, {"tcp", "tcp"}, {"99", ""}}) {
    client.SetProtocol(protocol);
    EXPECT_EQ(client.ProtocolName(), name) << protocol;
  }
  client.SetTimeOut(-5);
  EXPECT_EQ(client.TimeOut(), 0);
}

// Replacing the socket object is tested where a handler does it mid-event.
TEST_F(ClientTest, SocketClassOfTheSameClassKeepsTheSocketObjectAndNoneIsRefused) {
  LoggingClient client;
  TSocketBase* first = client.GetSocket();
  client.SetSocketClass(kStream);
  EXPECT_EQ(client.Socket(), first);
  EXPECT_EQ(Outcome([&] { client.SetSocketClass({}); }), "No Socket Class Defined");
}

TEST_F(ClientTest, OpenWithoutAnAddressFailsAndClosesItsSocket) {
  LoggingClient client;
  client.SetAddress("");
  EXPECT_EQ(Outcome([&] { client.Open(kStream); }), "No address specified");
  EXPECT_EQ(client.log, (Log{"Looking-up a host name", "Closed"}));
  EXPECT_EQ(client.Socket()->Handle(), winsock::INVALID_SOCKET);
}

TEST_F(ClientTest, TheLastControlStopsTheLibraryAndANewOneStartsIt) {
  for (int round = 0; round < 2; ++round) {
    {
      LoggingClient client;
      EXPECT_TRUE(sockets::WinsockStarted()) << round;
    }
    EXPECT_FALSE(sockets::WinsockStarted()) << round;
  }
}

}  // namespace
}  // namespace sockets_test
