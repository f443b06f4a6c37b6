// The client component on loopback: connecting, refusal, bytes both ways, the
// peer's close, the read drain of Close, handlers that free what raised them, the
// addressing setters, the socket class, and the life of the socket library with
// the controls.
#include <memory>
#include <stdexcept>
#include <utility>

#include "sockets/winsock_unit.h"
#include "tests/sockets/component_fixture.h"

namespace sockets_test {
namespace {

// An OnRead handler that takes at most `chunk` bytes per call into `received`.
sockets::TSocketEvent Reader(std::string& received, int chunk, int* calls = nullptr) {
  return [&received, chunk, calls](TSockCtrl&, TSocketBase* socket) {
    if (calls != nullptr) ++*calls;
    char buffer[64];
    if (chunk > 0) received.append(buffer, std::size_t(socket->Recv(buffer, chunk)));
  };
}

TEST_F(ClientTest, ConnectsByAddressAndByHostName) {
  for (const char* address : {"127.0.0.1", "localhost"}) {
    LoggingClient client;
    client.SetAddress(address);
    client.SetPort(std::to_string(listener.Port()));
    client.Open(kStream);
    ASSERT_TRUE(WaitUntil([&] { return client.Count("OnWrite") == 1; })) << address;
    EXPECT_EQ(client.log, (Log{"Looking-up a host name", "Connecting", "Connection",
                               "OnConnect connected", "OnWrite"}))
        << address;
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(client.DottedAddress(), "127.0.0.1");
    EXPECT_EQ(Outcome([&] { client.Open(kStream); }), "Socket Already opened");
  }
}

TEST_F(ClientTest, RefusedConnectReportsOnceAndTheSocketObjectConnectsLater) {
  LoopbackSocket refusing = LoopbackSocket::BoundOnly();
  LoggingClient client;
  client.OpenTo(refusing.Port());
  ASSERT_TRUE(WaitUntil([&] { return client.Count("OnConnect failed") == 1; }));
  TSocketBase* socket = client.Socket();
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(socket->LastError(), 10061);

  client.OpenTo(listener.Port());
  ASSERT_TRUE(WaitUntil([&] { return client.Count("OnWrite") == 1; }));
  EXPECT_TRUE(client.Connected());
  EXPECT_EQ(client.Socket(), socket);
  EXPECT_EQ(client.Count("OnConnect failed") + client.Count("OnConnect connected"), 2);
}

TEST_F(ClientTest, ExchangesBytesAndFollowsThePeersClose) {
  LoggingClient client;
  std::string received;
  client.OnRead = Reader(received, 64);
  LoopbackSocket peer = ConnectToListener(client);

  EXPECT_EQ(client.Socket()->Send("hello", 5), 5);
  EXPECT_EQ(peer.Receive(5), "hello");
  peer.SendAll("world");
  ASSERT_TRUE(WaitUntil([&] { return received == "world"; }));

  client.log.clear();
  peer.SendAll("tail");
  peer.Close();
  ASSERT_TRUE(WaitUntil([&] { return client.closed_notices == 1; }));
  EXPECT_EQ(received, "worldtail");
  EXPECT_EQ(client.log, (Log{"Receiving Data", "Disconnected", "OnDisconnect", "Closed"}));
  EXPECT_EQ(client.Socket()->Handle(), winsock::INVALID_SOCKET);
}

TEST_F(ClientTest, CloseLetsOnReadTakeWhatWaitsAndStopsWhenAPassTakesNothing) {
  struct Case {
    int chunk;
    int calls;
    std::string received;
  };
  for (const Case& c : {Case{2, 3, "abcdef"}, Case{0, 1, ""}}) {
    LoggingClient client;
    LoopbackSocket peer = ConnectToListener(client);
    peer.SendAll("abcdef");
    // Without OnRead the read notification takes nothing, so the bytes wait.
    ASSERT_TRUE(WaitUntil([&] { return client.Socket()->BytesAvailable() == 6; }));
    int calls = 0;
    std::string received;
    client.OnRead = Reader(received, c.chunk, &calls);
    client.Close();
    EXPECT_EQ(calls, c.calls) << c.chunk;
    EXPECT_EQ(received, c.received) << c.chunk;
    EXPECT_EQ(client.log.back(), "Closed") << c.chunk;
    EXPECT_TRUE(WaitUntil([&] { return client.closed_notices == 1; })) << c.chunk;
  }
}

TEST_F(ClientTest, AConnectionOpenedWhereTheCloseIsReportedStaysOpen) {
  LoggingClient client;
  const LoopbackSocket peer = ConnectToListener(client);
  bool reopened = false;
  client.OnInfo = [&](TSockCtrl&, sockets::TSockInfo code, TSocketBase*) {
    if (code == sockets::siClosed && !std::exchange(reopened, true)) client.OpenTo(listener.Port());
  };
  client.Close();
  EXPECT_TRUE(reopened);
  EXPECT_TRUE(WaitUntil([&] { return client.Connected(); }));
}

TEST_F(ClientTest, AnExceptionFromAHandlerIsReportedAndLaterEventsStillCome) {
  LoggingClient client;
  client.OnConnect = [](TSockCtrl&, TSocketBase*) { throw std::runtime_error("handler failed"); };
  client.OpenTo(listener.Port());
  ASSERT_TRUE(WaitUntil([&] { return client.Count("OnWrite") == 1; }));
  EXPECT_EQ(reported, (Log{"handler failed"}));
}

// Each case frees the socket object or the whole control from inside an event of
// that very socket; the sanitizers see any later use.
TEST_F(ClientTest, HandlersMayFreeTheSocketOrTheControlThatRaisedTheEvent) {
  {
    LoggingClient client;
    client.OnConnect = [&](TSockCtrl&, TSocketBase*) {
      client.SetSocketClass(sockets::TSocketClass::Of<OtherSocket>());
    };
    client.OpenTo(listener.Port());
    const LoopbackSocket peer = listener.Accept();
    ASSERT_TRUE(WaitUntil([&] { return dynamic_cast<OtherSocket*>(client.Socket()) != nullptr; }));
    EXPECT_EQ(client.Socket()->Handle(), winsock::INVALID_SOCKET);
  }
  {
    auto client = std::make_unique<LoggingClient>();
    client->OnDisconnect = [&](TSockCtrl&, TSocketBase*) { client.reset(); };
    LoopbackSocket peer = ConnectToListener(*client);
    peer.Close();
    EXPECT_TRUE(WaitUntil([&] { return client == nullptr; }));
  }
  {
    auto client = std::make_unique<LoggingClient>();
    LoggingClient* raw = client.get();
    LoopbackSocket peer = ConnectToListener(*raw);
    peer.SendAll("data");
    ASSERT_TRUE(WaitUntil([&] { return raw->Socket()->BytesAvailable() > 0; }));
    raw->OnRead = [&](TSockCtrl&, TSocketBase*) { client.reset(); };
    raw->Close();
    EXPECT_EQ(client, nullptr);
  }
}

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
