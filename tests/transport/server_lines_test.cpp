// The server component with line sockets: each accepted connection exchanges
// lines with its own text client, and a client that closes is freed and removed.
#include <string>
#include <vector>

#include "sockets/server_socket.h"
#include "tests/transport/loopback_fixture.h"
#include "transport/line_socket.h"

namespace transport_test {
namespace {

using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

TEST_F(LoopbackTest, AcceptedLineSocketsAnswerEachClientOnItsOwnConnection) {
  sockets::TCustomBasicServerSocket server(nullptr);
  Lines heard;
  server.OnAccept = [&heard](sockets::TSockCtrl&, sockets::TSocketBase* socket) {
    sockets::CheckedCast<transport::TLineSocket>(*socket).OnLineReceived =
        [&heard](transport::TLineSocketBase& connection, const std::string& line, bool) {
          heard.push_back(line);
          connection.WriteLine("echo " + line);
        };
  };
  server.SetAddress("127.0.0.1");
  server.StoreListeningPort(0);
  server.Open(transport::TTextClient::LineSocketClass());

  transport::TTextClient alice(nullptr), bob(nullptr);
  Lines to_alice, to_bob;
  alice.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    to_alice.push_back(line);
  };
  bob.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    to_bob.push_back(line);
  };
  transport::TLineSocket& from_alice = Connect(alice, server.PortNumber());
  transport::TLineSocket& from_bob = Connect(bob, server.PortNumber());
  from_alice.WriteLine("one from alice");
  from_bob.WriteLine("one from bob");
  from_alice.WriteLine("two from alice");
  ASSERT_TRUE(WaitUntil([&] { return to_alice.size() == 2 && to_bob.size() == 1; }));
  EXPECT_EQ(to_alice, (Lines{"echo one from alice", "echo two from alice"}));
  EXPECT_EQ(to_bob, (Lines{"echo one from bob"}));
  EXPECT_EQ(heard.size(), 3u);
  EXPECT_EQ(server.Connections().Count(), 2u);

  alice.Close();
  ASSERT_TRUE(WaitUntil([&] { return server.Connections().Count() == 1; }));
  from_bob.WriteLine("bob stays");
  EXPECT_TRUE(WaitUntil([&] { return to_bob.size() == 2; }));
  EXPECT_EQ(to_bob.back(), "echo bob stays");
}

}  // namespace
}  // namespace transport_test
