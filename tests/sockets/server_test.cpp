// The server component on loopback: the connection limit, bytes on several
// connections, the peer's close, notifications held back by a look-up wait,
// handlers that free the server from inside its events, and admission: the
// address filter with numbers, "*", prefixes and host names, both filter modes,
// the reverse look-up of the peer, and look-ups that fail.
#include <memory>
#include <string>
#include <vector>

#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"
#include "tests/sockets/component_fixture.h"

namespace sockets_test {
namespace {

// An OnRead handler that appends what it reads to `into`.
sockets::TSocketEvent Collect(std::string& into) {
  return [&into](TSockCtrl&, TSocketBase* socket) {
    char buffer[64];
    into.append(buffer, std::size_t(socket->Recv(buffer, sizeof buffer)));
  };
}

TEST_F(ServerTest, BeyondMaxConnectionsAPeerIsRefusedUnreadAndLeavesWithItsCloseNotice) {
  LoggingServer server;
  server.SetMaxConnections(1);
  server.OnRead = [&](TSockCtrl&, TSocketBase*) { server.log.push_back("OnRead"); };
  server.OpenOnLoopback();
  EXPECT_EQ(Outcome([&] { server.Open(kStream); }), "Socket Already opened");
  LoopbackSocket first = LoopbackSocket::ConnectTo(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 1; }));

  server.log.clear();
  LoopbackSocket second = LoopbackSocket::ConnectTo(server.PortNumber());
  ASSERT_TRUE(second.SendAll("refused peer's bytes"));
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnReject") == 1; }));
  EXPECT_EQ(server.log, (Log{"Rejecting Connection", "OnReject", "Closed"}));
  EXPECT_EQ(server.held_at_close, std::vector<std::size_t>{2});
  EXPECT_TRUE(WaitUntil([&] { return server.Connections().Count() == 1; }));
  EXPECT_TRUE(server.Connections().Items(0)->Connected());
}

TEST_F(ServerTest, EachConnectionGetsItsOwnBytesAndOneThePeerClosesIsFreed) {
  LoggingServer server;
  server.OnRead = [](TSockCtrl&, TSocketBase* socket) {
    char buffer[64];
    socket->Send(buffer, socket->Recv(buffer, sizeof buffer));
  };
  server.OpenOnLoopback();
  LoggingClient one, two;
  std::string to_one, to_two;
  one.OnRead = Collect(to_one);
  two.OnRead = Collect(to_two);
  one.OpenTo(server.PortNumber());
  two.OpenTo(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return one.Connected() && two.Connected(); }));
  two.Socket()->Send("second", 6);
  one.Socket()->Send("first", 5);
  ASSERT_TRUE(WaitUntil([&] { return to_one == "first" && to_two == "second"; }));

  const sockets::TLiveness::TWatch first_connection = server.Connections().Items(0)->Watch();
  server.log.clear();
  one.Close();
  ASSERT_TRUE(WaitUntil([&] { return !first_connection; }));
  EXPECT_EQ(server.log, (Log{"Disconnected", "Closed"}));
  EXPECT_EQ(server.Connections().Count(), 1u);
}

// On ::1 the same calls serve: a listener and a datagram socket bind there, and
// a connection keeps its peer's IPv6 address, which the filter reads as text.
TEST_F(ServerTest, ListensBindsAndAcceptsOnIPv6) {
  if (!LoopbackSocket::Listen6().Valid()) GTEST_SKIP() << "no IPv6 loopback";
  LoggingServer server;
  server.SetAddress("::1");
  server.StoreListeningPort(0);
  server.SetAddressFilter({"::1"});
  server.SetFilterMode(0);  // only the peers listed
  server.Open(kStream);
  ASSERT_NE(server.PortNumber(), 0);
  LoggingClient client;
  client.SetAddress("[::1]");
  client.StoreListeningPort(server.PortNumber());
  client.Open(kStream);
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 1; }));
  EXPECT_EQ(sockets::AddressText(server.Connections().Items(0)->SockAddress()), "::1");
  server.Close();
  EXPECT_EQ(Outcome([&] { server.Open(kDatagram); }), "none");  // bound on ::1
}

TEST_F(ServerTest, ANotificationForAHandleOfNoConnectionIsReportedWithoutSocket) {
  LoggingServer server;
  std::vector<TSocketBase*> reported_sockets;
  server.OnInfo = [&](TSockCtrl&, sockets::TSockInfo code, TSocketBase* socket) {
    if (code == sockets::siNoSuchSocket) reported_sockets.push_back(socket);
  };
  sockets::TMessage read{sockets::SM_SELECT, 12345, winsock::FD_READ, 0};
  server.SelectEvent(read);
  EXPECT_EQ(reported_sockets, std::vector<TSocketBase*>{nullptr});
}

// A connection that closes while a look-up wait holds notifications back takes
// only its own with it: another connection's read notification still comes.
TEST_F(StalledServerLookupTest, NotificationsHeldBackForOtherConnectionsOutliveAClose) {
  LoggingServer server;
  std::string received;
  server.OnRead = Collect(received);
  server.OpenOnLoopback();
  LoopbackSocket closing = LoopbackSocket::ConnectTo(server.PortNumber());
  LoopbackSocket reading = LoopbackSocket::ConnectTo(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 2; }));
  int step = 0;
  Poll poll([&] {
    if (sockets::WaitNesting == 0) return;
    if (step == 0 && reading.SendAll("held back")) {
      step = 1;
    } else if (step == 1 && !sockets::DeferredQueue.Empty()) {
      server.Connections().Items(0)->Close();
      step = 2;
    } else if (step == 2 && server.Connections().Count() == 1) {
      server.Close();  // ends the wait
      step = 3;
    }
  });
  EXPECT_NE(Outcome([&] { server.LookupHostName("127.0.0.1"); }), "none");
  EXPECT_EQ(step, 3);
  EXPECT_TRUE(WaitUntil([&] { return received == "held back"; }));
}

// Each case frees the server inside an event of one of its connections; the
// sanitizers see any later use.
TEST_F(ServerTest, HandlersMayFreeTheServerFromAConnectionsEvents) {
  for (const std::string event : {"OnAccept", "OnReject", "OnRead", "OnDisconnect"}) {
    auto server = std::make_unique<LoggingServer>();
    const auto free_server = [&server](TSockCtrl&, TSocketBase*) { server.reset(); };
    if (event == "OnAccept") server->OnAccept = free_server;
    if (event == "OnReject") server->OnReject = free_server;
    if (event == "OnRead") server->OnRead = free_server;
    if (event == "OnDisconnect") server->OnDisconnect = free_server;
    server->SetMaxConnections(event == "OnReject" ? 0 : 1);
    server->OpenOnLoopback();
    LoopbackSocket peer = LoopbackSocket::ConnectTo(server->PortNumber());
    if (event == "OnRead" && !peer.SendAll("bytes")) FAIL() << "no bytes sent";
    if (event == "OnRead" || event == "OnDisconnect") peer.Close();
    EXPECT_TRUE(WaitUntil([&] { return server == nullptr; })) << event;
  }
}

TEST_F(ServerTest, AddressMatchesComparesPartByPart) {
  struct Case {
    std::vector<std::string> filter;
    std::string address;
    bool matches;
  };
  const Case cases[] = {
      {{"192.168.*"}, "192.168.5.7", true},
      {{"192.168.*"}, "10.0.0.1", false},
      {{"192.168"}, "192.168.200.1", true},
      {{"192.168.1.5"}, "192.168.1.50", false},
      {{"*.*.*.1"}, "10.2.3.1", true},
      {{"10.*", "192.*"}, "192.1.1.1", true},
      {{}, "10.0.0.1", false},
      {{""}, "10.0.0.1", true},
      {{"10.1.2.3.4"}, "10.1.2.3", false},
      {{"localhost"}, "127.0.0.1", true},
      {{"*"}, "127.0.0.1", true},
      {{"*.example"}, "127.0.0.1", false},
  };
  LoggingServer server;
  for (const Case& c : cases) {
    server.SetAddressFilter(c.filter);
    EXPECT_EQ(server.AddressMatches(c.address), c.matches)
        << c.address << " against " << testing::PrintToString(c.filter);
  }
}

TEST_F(ServerTest, TheFilterModeAndTheReverseLookUpDecideOnEachPeer) {
  struct Case {
    std::vector<std::string> filter;
    std::uint8_t mode;
    bool lookup_peer_name;
    const char* outcome;
  };
  for (const Case& c : {Case{{}, 0, false, "OnReject"}, Case{{"127.*"}, 1, false, "OnReject"},
                        Case{{"localhost"}, 0, true, "OnAccept"}}) {
    LoggingServer server;
    server.SetAddressFilter(c.filter);
    server.SetFilterMode(c.mode);
    server.SetLookupPeerName(c.lookup_peer_name);
    server.OpenOnLoopback();
    LoopbackSocket peer = LoopbackSocket::ConnectTo(server.PortNumber());
    EXPECT_TRUE(WaitUntil([&] { return server.Count(c.outcome) == 1; }))
        << testing::PrintToString(c.filter) << " mode " << int(c.mode);
  }
}

// Look-ups never complete: the listening socket closes while the peer's name is
// looked up, which ends the look-up with an error. Returns the server's log.
Log CloseWhileLookingUp(LoggingServer& server) {
  server.OpenOnLoopback();
  LoopbackSocket peer = LoopbackSocket::ConnectTo(server.PortNumber());
  Poll poll([&] {
    if (sockets::WaitNesting > 0 && server.Listening()) server.Close();
  });
  EXPECT_TRUE(WaitUntil([&] { return !server.Listening() && server.Connections().Count() == 0; }));
  return server.log;
}

TEST_F(StalledServerLookupTest, AFailedReverseLookUpOfThePeerRefusesIt) {
  LoggingServer server;
  server.SetLookupPeerName(true);
  EXPECT_EQ(CloseWhileLookingUp(server),
            (Log{"Closed", "Rejecting Connection", "OnReject", "Closed"}));
  EXPECT_TRUE(reported.empty());
}

// The filter cannot judge the peer: the error reaches the application, and the
// peer is not let in.
TEST_F(StalledServerLookupTest, AFailedLookUpInTheFilterIsReportedAndClosesTheConnection) {
  LoggingServer server;
  server.SetAddressFilter({"localhost"});
  EXPECT_EQ(CloseWhileLookingUp(server), (Log{"Closed", "Closed"}));
  EXPECT_EQ(reported, (Log{"Error 10004 (Interrupted system call) finding host for address"}));
}

}  // namespace
}  // namespace sockets_test
