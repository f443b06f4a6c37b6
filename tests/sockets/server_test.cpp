// The server component on loopback: accepting, the connection limit, bytes both
// ways on several connections, the peer's close, listening and stopping, and
// handlers that close or free what raised them.
#include <memory>
#include <utility>

#include "sockets/socket_messages.h"
#include "tests/sockets/server_fixture.h"

namespace sockets_test {
namespace {

using testsupport::WaitUntil;

// An OnRead handler that sends back what it reads.
sockets::TSocketEvent Echo() {
  return [](TSockCtrl&, TSocketBase* socket) {
    char buffer[256];
    const int n = socket->Recv(buffer, sizeof buffer);
    if (n > 0) socket->Send(buffer, n);
  };
}

TEST_F(ServerTest, BeyondMaxConnectionsAPeerIsRefusedUnreadAndLeavesWithItsCloseNotice) {
  LoggingServer server;
  server.SetMaxConnections(1);
  server.OnRead = [&](TSockCtrl&, TSocketBase*) { server.log.push_back("OnRead"); };
  server.OpenOnLoopback();
  SocketFd first = ConnectLoopback(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 1; }));
  server.log.clear();

  SocketFd second = ConnectLoopback(server.PortNumber());
  ASSERT_TRUE(SendText(second, "sent before the refusal"));
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnReject") == 1; }));
  EXPECT_EQ(server.log, (Log{"Rejecting Connection", "OnReject", "Closed"}));
  EXPECT_EQ(server.held_at_close, std::vector<std::size_t>{2});
  EXPECT_TRUE(WaitUntil([&] { return server.Connections().Count() == 1; }));
  EXPECT_TRUE(ServerEnds(second));
  EXPECT_TRUE(server.Connections().Items(0)->Connected());
  EXPECT_EQ(server.Count("OnRead"), 0);
}

TEST_F(ServerTest, EachConnectionGetsItsOwnBytesAndAPeerThatClosesIsFreed) {
  CountedSocket::live = 0;
  LoggingServer server;
  server.OnRead = Echo();
  server.OpenOnLoopback(sockets::TSocketClass::Of<CountedSocket>());
  SocketFd one = ConnectLoopback(server.PortNumber());
  SocketFd two = ConnectLoopback(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 2; }));
  EXPECT_EQ(CountedSocket::live, 3);

  ASSERT_TRUE(SendText(two, "second"));
  ASSERT_TRUE(SendText(one, "first"));
  EXPECT_EQ(Arrived(one, 5), "first");
  EXPECT_EQ(Arrived(two, 6), "second");

  server.log.clear();
  one.Reset();
  ASSERT_TRUE(WaitUntil([&] { return server.Connections().Count() == 1; }));
  EXPECT_TRUE(WaitUntil([&] { return CountedSocket::live == 2; }));
  EXPECT_EQ(server.Count("Disconnected"), 1);
  EXPECT_EQ(server.Count("OnDisconnect"), 1);
  ASSERT_TRUE(SendText(two, "still here"));
  EXPECT_EQ(Arrived(two, 10), "still here");
}

TEST_F(ServerTest, ListeningStartsAndStopsLikeAClientOpensAndCloses) {
  LoggingServer server;
  server.OpenOnLoopback();
  EXPECT_TRUE(server.Listening());
  EXPECT_NE(server.PortNumber(), 0);
  EXPECT_EQ(server.Port(), std::to_string(server.PortNumber()));
  EXPECT_EQ(MessageOf([&] { server.Open(kStream); }), "Socket Already opened");

  SocketFd peer = ConnectLoopback(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 1; }));
  const std::uint16_t first_port = server.PortNumber();
  server.Close();
  EXPECT_FALSE(server.Listening());
  EXPECT_FALSE(ConnectLoopback(first_port).Valid());
  EXPECT_TRUE(server.Connections().Items(0)->Connected());

  server.OpenOnLoopback();
  EXPECT_TRUE(server.Listening());
  SocketFd again = ConnectLoopback(server.PortNumber());
  EXPECT_TRUE(WaitUntil([&] { return server.Count("OnAccept") == 1; }));
}

TEST_F(ServerTest, ANotificationForAHandleOfNoConnectionIsReportedWithoutSocket) {
  LoggingServer server;
  std::vector<TSocketBase*> sockets_reported;
  server.OnInfo = [&](TSockCtrl&, sockets::TSockInfo code, TSocketBase* socket) {
    if (code == sockets::siNoSuchSocket) sockets_reported.push_back(socket);
  };
  sockets::TMessage read{sockets::SM_SELECT, 12345, winsock::FD_READ, 0};
  server.SelectEvent(read);
  EXPECT_EQ(sockets_reported, std::vector<TSocketBase*>{nullptr});
}

// A connection closed by the application stays in Connections until its close
// notice; one that a handler opened again before that stays for good.
TEST_F(ServerTest, AClosedConnectionLeavesWithItsNoticeUnlessAHandlerOpenedItAgain) {
  SocketFd listener = testsupport::BindLoopback(true);
  LoggingServer server;
  bool reopen = false;
  server.OnAccept = [&](TSockCtrl&, TSocketBase* socket) {
    socket->Close();
    std::string address = "127.0.0.1";
    if (reopen) socket->Connect("", address, "", testsupport::LocalPort(listener.Get()), {});
  };
  server.OpenOnLoopback();

  SocketFd closed = ConnectLoopback(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.closed_notices == 1; }));
  EXPECT_EQ(server.held_at_close, std::vector<std::size_t>{1});
  EXPECT_TRUE(WaitUntil([&] { return server.Connections().Count() == 0; }));
  EXPECT_TRUE(ServerEnds(closed));

  reopen = true;
  SocketFd reopened = ConnectLoopback(server.PortNumber());
  ASSERT_TRUE(WaitUntil([&] { return server.closed_notices == 2; }));
  ASSERT_EQ(server.Connections().Count(), 1u);
  TSocketBase* socket = server.Connections().Items(0);
  EXPECT_NE(socket->Handle(), winsock::INVALID_SOCKET);
  socket->Close();
  EXPECT_TRUE(WaitUntil([&] { return server.Connections().Count() == 0; }));
}

// Each case frees the whole server from inside an event of one of its
// connections; the sanitizers see any later use.
TEST_F(ServerTest, HandlersMayFreeTheServerFromAnyConnectionEvent) {
  struct Case {
    const char* name;
    std::int32_t max_connections;
    void (*arm)(LoggingServer&, std::function<void()> free_server);
    // What the peer sends before it closes; none: it stays.
    const char* peer_sends;
  };
  const Case cases[] = {
      {"OnAccept", 16,
       [](LoggingServer& s, std::function<void()> f) {
         s.OnAccept = [f](TSockCtrl&, TSocketBase*) { f(); };
       },
       nullptr},
      {"OnReject", 0,
       [](LoggingServer& s, std::function<void()> f) {
         s.OnReject = [f](TSockCtrl&, TSocketBase*) { f(); };
       },
       nullptr},
      {"siAccepting", 16,
       [](LoggingServer& s, std::function<void()> f) {
         s.OnInfo = [f](TSockCtrl&, sockets::TSockInfo code, TSocketBase*) {
           if (code == sockets::siAccepting) f();
         };
       },
       nullptr},
      {"OnDisconnect", 16,
       [](LoggingServer& s, std::function<void()> f) {
         s.OnDisconnect = [f](TSockCtrl&, TSocketBase*) { f(); };
       },
       ""},
      {"OnRead", 16,
       [](LoggingServer& s, std::function<void()> f) {
         s.OnRead = [f](TSockCtrl&, TSocketBase*) { f(); };
       },
       "bytes"},
  };
  for (const Case& c : cases) {
    auto server = std::make_unique<LoggingServer>();
    server->SetMaxConnections(c.max_connections);
    c.arm(*server, [&server] { server.reset(); });
    server->OpenOnLoopback();
    SocketFd peer = ConnectLoopback(server->PortNumber());
    if (c.peer_sends != nullptr) {
      ASSERT_TRUE(WaitUntil([&] { return server->Connections().Count() == 1; })) << c.name;
      ASSERT_TRUE(SendText(peer, c.peer_sends)) << c.name;
      peer.Reset();
    }
    EXPECT_TRUE(WaitUntil([&] { return server == nullptr; })) << c.name;
  }
}

}  // namespace
}  // namespace sockets_test
