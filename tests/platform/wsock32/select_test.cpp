// WSAAsyncSelect on loopback: one message per event, and the rules that enable
// each event again.
#include <string>

#include "tests/platform/wsock32/wsock32_fixture.h"
#include "tests/support/wait_until.h"

namespace wsock32test {
namespace {

using winsock::FD_ACCEPT;
using winsock::FD_CLOSE;
using winsock::FD_CONNECT;
using winsock::FD_READ;
using winsock::FD_WRITE;
using Notes = std::vector<Note>;

using SelectTest = WinsockTest;

// A connected socket refuses another connect.
TEST_F(SelectTest, ConnectReportsRefusalAloneOrSuccessThenOneWrite) {
  const LoopbackSocket closed = LoopbackSocket::BoundOnly();
  const winsock::SOCKET refused = ConnectTo(closed.Port());
  const winsock::SOCKET s = Connected();
  ASSERT_TRUE(WaitForEvent(refused, FD_CONNECT));
  ASSERT_TRUE(WaitForEvent(s, FD_WRITE));
  EXPECT_EQ(ws.send(s, "hello", 5, 0), 5);
  Settle();
  EXPECT_EQ(EventsOf(refused), (Notes{{FD_CONNECT, winsock::WSAECONNREFUSED}}));
  EXPECT_EQ(EventsOf(s), (Notes{{FD_CONNECT, 0}, {FD_WRITE, 0}}));
  EXPECT_EQ(peer.Receive(5), "hello");
  const winsock::sockaddr_in again = Loopback(listener.Port());
  EXPECT_EQ(ws.connect(s, reinterpret_cast<const winsock::sockaddr*>(&again), sizeof again),
            winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEISCONN);
}

TEST_F(SelectTest, ConnectWhilePendingFails) {
  // A listener whose queue is full drops further connection requests, so a
  // connect to it stays pending.
  const LoopbackSocket full = LoopbackSocket::Listen(0);
  const LoopbackSocket queued = LoopbackSocket::ConnectTo(full.Port());
  ASSERT_TRUE(full.WaitReadable());
  const winsock::SOCKET pending = ConnectTo(full.Port());
  const winsock::sockaddr_in address = Loopback(full.Port());
  const auto* name = reinterpret_cast<const winsock::sockaddr*>(&address);
  EXPECT_EQ(ws.connect(pending, name, sizeof address), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEINVAL);
}

TEST_F(SelectTest, WriteComesAgainOnlyAfterASendThatWouldBlock) {
  const winsock::SOCKET s = Connected();
  ASSERT_TRUE(WaitForEvent(s, FD_WRITE));
  const std::string chunk(65536, 'x');
  int sends = 0;
  while (ws.send(s, chunk.data(), int(chunk.size()), 0) > 0) ASSERT_LT(++sends, 100000);
  ASSERT_EQ(ws.WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  Settle();
  EXPECT_EQ(Count(s, FD_WRITE), 1);
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    peer.Drain();
    return Count(s, FD_WRITE) == 2;
  }));
}

// More data while an FD_READ is pending posts none; a receive that leaves data
// posts one, and several such receives before it is delivered still post only
// one; a receive that takes all posts none.
TEST_F(SelectTest, ReadComesAgainOnlyAfterAReceiveThatLeavesData) {
  const winsock::SOCKET s = Connected(FD_READ | FD_CONNECT | FD_CLOSE);
  ASSERT_TRUE(peer.SendAll(std::string(100, 'a')));
  ASSERT_TRUE(WaitForEvent(s, FD_READ));
  ASSERT_TRUE(peer.SendAll(std::string(20, 'b')));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return Waiting(s) == 120; }));
  Settle();
  EXPECT_EQ(Count(s, FD_READ), 1);

  for (int i = 0; i < 3; ++i) EXPECT_EQ(Recv(s, 10), std::string(10, 'a'));
  EXPECT_TRUE(WaitForEvent(s, FD_READ, 2));
  Settle();
  EXPECT_EQ(Count(s, FD_READ), 2);
  EXPECT_EQ(Recv(s, 10), std::string(10, 'a'));
  EXPECT_TRUE(WaitForEvent(s, FD_READ, 3));
  EXPECT_EQ(Recv(s, 100), std::string(60, 'a') + std::string(20, 'b'));
  Settle();
  EXPECT_EQ(Count(s, FD_READ), 3);
}

TEST_F(SelectTest, GracefulCloseComesOnceThePeersDataIsRead) {
  const winsock::SOCKET s = Connected(FD_READ | FD_CONNECT | FD_CLOSE);
  ASSERT_TRUE(peer.SendAll("last words"));
  peer.Close();
  ASSERT_TRUE(WaitForEvent(s, FD_READ));
  Settle();
  EXPECT_EQ(Count(s, FD_CLOSE), 0);

  EXPECT_EQ(Recv(s, 100), "last words");
  ASSERT_TRUE(WaitForEvent(s, FD_CLOSE));
  EXPECT_EQ(Recv(s, 100), "");
  Settle();
  // The end of the stream is never an FD_READ.
  EXPECT_EQ(EventsOf(s), (Notes{{FD_CONNECT, 0}, {FD_READ, 0}, {FD_CLOSE, 0}}));
}

TEST_F(SelectTest, ResetGivesCloseWith10054) {
  const winsock::SOCKET s = Connected(FD_READ | FD_CONNECT | FD_CLOSE);
  peer.CloseWithReset();
  ASSERT_TRUE(WaitForEvent(s, FD_CLOSE));
  EXPECT_EQ(EventsOf(s).back(), (Note{FD_CLOSE, winsock::WSAECONNRESET}));
  char byte;
  EXPECT_EQ(ws.recv(s, &byte, 1, 0), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAECONNRESET);
  EXPECT_EQ(ws.send(s, "x", 1, 0), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAECONNRESET);
}

TEST_F(SelectTest, AcceptIsPostedWhileConnectionsWait) {
  const winsock::SOCKET server = Open();
  const std::uint16_t port = ws.ntohs(Bind(server).sin_port);
  ASSERT_EQ(ws.WSAAsyncSelect(server, window, kSelect, FD_ACCEPT | FD_CLOSE), 0);
  ASSERT_EQ(ws.listen(server, 5), 0);
  const LoopbackSocket first = LoopbackSocket::ConnectTo(port);
  const LoopbackSocket second = LoopbackSocket::ConnectTo(port);
  ASSERT_TRUE(WaitForEvent(server, FD_ACCEPT));
  Settle();
  EXPECT_EQ(Count(server, FD_ACCEPT), 1);

  winsock::sockaddr_in from{};
  int length = sizeof from;
  const winsock::SOCKET accepted =
      ws.accept(server, reinterpret_cast<winsock::sockaddr*>(&from), &length);
  ASSERT_NE(accepted, winsock::INVALID_SOCKET);
  opened.push_back(accepted);
  EXPECT_STREQ(ws.inet_ntoa(from.sin_addr), "127.0.0.1");
  EXPECT_TRUE(WaitForEvent(server, FD_ACCEPT, 2));
  opened.push_back(ws.accept(server, nullptr, nullptr));
  EXPECT_EQ(ws.accept(server, nullptr, nullptr), winsock::INVALID_SOCKET);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  Settle();
  EXPECT_EQ(Count(server, FD_ACCEPT), 2);
}

TEST_F(SelectTest, NothingIsPostedAfterAnEmptyMask) {
  const winsock::SOCKET s = Connected();
  ASSERT_TRUE(WaitForEvent(s, FD_WRITE));
  ASSERT_EQ(ws.WSAAsyncSelect(s, window, kSelect, 0), 0);
  const auto before = EventsOf(s);
  ASSERT_TRUE(peer.SendAll("data"));
  peer.Close();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return Waiting(s) == 4; }));
  Settle();
  EXPECT_EQ(Recv(s, 10), "data");
  Settle();
  EXPECT_EQ(EventsOf(s), before);
}

TEST_F(SelectTest, DatagramsAreReadOneAtATime) {
  const winsock::SOCKET receiver = Open(winsock::SOCK_DGRAM);
  winsock::sockaddr_in address = Bind(receiver);
  auto* name = reinterpret_cast<winsock::sockaddr*>(&address);
  ASSERT_EQ(ws.WSAAsyncSelect(receiver, window, kSelect, FD_READ | FD_WRITE), 0);
  const winsock::SOCKET sender = Open(winsock::SOCK_DGRAM);
  ASSERT_EQ(ws.sendto(sender, "first", 5, 0, name, sizeof address), 5);
  ASSERT_EQ(ws.sendto(sender, "second!", 7, 0, name, sizeof address), 7);
  ASSERT_TRUE(WaitForEvent(receiver, FD_READ));
  EXPECT_EQ(Count(receiver, FD_WRITE), 1);
  EXPECT_EQ(Waiting(receiver), 5u);

  char buffer[3];
  winsock::sockaddr_in from{};
  int length = 4;  // no room for the sender: the call fails, and reading goes on
  auto* from_name = reinterpret_cast<winsock::sockaddr*>(&from);
  EXPECT_EQ(ws.recvfrom(receiver, buffer, sizeof buffer, 0, from_name, &length),
            winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEFAULT);
  EXPECT_TRUE(WaitForEvent(receiver, FD_READ, 2));
  length = sizeof from;
  EXPECT_EQ(ws.recvfrom(receiver, buffer, sizeof buffer, 0, from_name, &length),
            winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEMSGSIZE);
  EXPECT_STREQ(ws.inet_ntoa(from.sin_addr), "127.0.0.1");
  EXPECT_TRUE(WaitForEvent(receiver, FD_READ, 3));
  EXPECT_EQ(Waiting(receiver), 7u);
}

}  // namespace
}  // namespace wsock32test
