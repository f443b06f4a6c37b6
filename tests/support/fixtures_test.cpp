// The test fixtures themselves: the scripted server against plain sockets, and the
// real server with plain users.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "tests/support/ircd_fixture.h"
#include "tests/support/plain_irc_client.h"
#include "tests/support/scripted_server.h"

namespace testsupport {
namespace {

using namespace std::chrono_literals;

// Reads until `count` bytes are in or the deadline has passed.
std::string ReceiveBytes(int fd, std::size_t count) {
  const auto deadline = Clock::now() + 5s;
  std::string received;
  char buffer[256];
  while (received.size() < count && WaitReadable(fd, deadline)) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    received.append(buffer, std::size_t(n));
  }
  return received;
}

bool HasLineContaining(const PlainIrcClient& client, std::string_view text) {
  for (const std::string& line : client.Transcript()) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(ScriptedServer, CarriesExactBytesOutAndWholeLinesIn) {
  ScriptedServer server;
  const SocketFd client = ConnectLoopback(server.Port());
  ASSERT_TRUE(server.WaitForClient());

  ASSERT_TRUE(server.Send(":irc 001 me :hi\r"));
  ASSERT_TRUE(server.Send("\n"));
  ASSERT_TRUE(server.SendLine("PING :x"));
  const std::string sent = ":irc 001 me :hi\r\nPING :x\r\n";
  EXPECT_EQ(ReceiveBytes(client.Get(), sent.size()), sent);

  const auto deadline = Clock::now() + 5s;
  for (const char* chunk : {"NICK al", "ice\r", "\nUSER a\nb\rc\r\n\r\n", "QUIT"}) {
    ASSERT_TRUE(SendAll(client.Get(), chunk, deadline));
  }
  EXPECT_EQ(server.WaitForLine(), "NICK alice");
  ASSERT_TRUE(server.WaitForLine().has_value());
  EXPECT_EQ(server.WaitForLine(), "");
  EXPECT_FALSE(server.WaitForLine(50).has_value()) << "QUIT has no CR LF yet";
  EXPECT_EQ(server.ReceivedLines(), (std::vector<std::string>{"NICK alice", "USER a\nb\rc", ""}));
}

TEST(ScriptedServer, EndsConnectionsAndTakesTheNextClient) {
  ScriptedServer server;
  struct Case {
    const char* name;
    bool (ScriptedServer::*end)();
    ssize_t read_result;
    int error;
  };
  const Case cases[] = {{"graceful", &ScriptedServer::CloseClient, 0, 0},
                        {"abortive", &ScriptedServer::ResetClient, -1, ECONNRESET}};
  std::size_t accepted = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SocketFd client = ConnectLoopback(server.Port());
    ASSERT_TRUE(server.WaitForClient());
    EXPECT_EQ(server.ClientsAccepted(), ++accepted);
    ASSERT_TRUE((server.*c.end)());
    EXPECT_FALSE(server.HasClient());
    ASSERT_TRUE(WaitReadable(client.Get(), Clock::now() + 5s));
    char byte;
    errno = 0;
    EXPECT_EQ(recv(client.Get(), &byte, 1, 0), c.read_result);
    EXPECT_EQ(errno, c.error);
  }

  SocketFd leaving = ConnectLoopback(server.Port());
  ASSERT_TRUE(server.WaitForClient());
  leaving.Reset();
  EXPECT_TRUE(server.WaitForNoClient());
  EXPECT_FALSE(server.CloseClient());
  EXPECT_FALSE(server.Send("x"));
}

TEST(ScriptedServer, RefusedPortRefuses) {
  EXPECT_FALSE(ConnectLoopback(ScriptedServer::RefusedPort()).Valid());
}

TEST(IrcdFixture, PlainUsersRegisterJoinTalkAndKick) {
  if (!IrcdFixture::Installed()) GTEST_SKIP() << "ngircd is not installed";
  IrcdFixture ircd;
  ASSERT_EQ(ircd.Start(), "");

  PlainIrcClient alice(ircd.Port());
  ASSERT_TRUE(alice.Register("alice", IrcdFixture::kPassword)) << ircd.Log();
  EXPECT_TRUE(HasLineContaining(alice, ":irc.test.local 001 alice :"));
  ASSERT_TRUE(alice.Join("#beginner"));
  EXPECT_TRUE(HasLineContaining(alice, " 353 alice = #beginner :@alice"))
      << "the first to join is operator";

  PlainIrcClient bob(ircd.Port());
  ASSERT_TRUE(bob.Register("bob", IrcdFixture::kPassword));
  ASSERT_TRUE(bob.Join("#beginner"));
  EXPECT_TRUE(alice.WaitForLineContaining(":bob!~bob@127.0.0.1 JOIN :#beginner"));
  ASSERT_TRUE(bob.SendLine("PRIVMSG #beginner :hi there"));
  EXPECT_TRUE(alice.WaitForLineContaining(":bob!~bob@127.0.0.1 PRIVMSG #beginner :hi there"));
  ASSERT_TRUE(alice.SendLine("KICK #beginner bob :bye"));
  EXPECT_TRUE(bob.WaitForLineContaining(" KICK #beginner bob :bye"));

  PlainIrcClient eve(ircd.Port());
  EXPECT_FALSE(eve.Register("eve", "wrong"));
  EXPECT_TRUE(HasLineContaining(eve, "ERROR :Access denied"));

  const std::uint16_t port = ircd.Port();
  ircd.Stop();
  EXPECT_FALSE(ConnectLoopback(port).Valid());
}

}  // namespace
}  // namespace testsupport
