// The text client: the settings it hands to each new socket object, and a
// reconnect after a reset by a scripted line server.
#include "tests/support/scripted_server.h"
#include "tests/transport/loopback_fixture.h"

namespace transport_test {
namespace {

using transport::TLineSocket;
using transport::TTextClient;

class OtherLineSocket : public TLineSocket {
  using TLineSocket::TLineSocket;
};

TEST_F(LoopbackTest, TextClientHandsItsSettingsToEachNewSocketObject) {
  TTextClient client(nullptr);
  EXPECT_EQ(Outcome([&] { client.GetSocket(); }), "Invalid class conversion");
  EXPECT_EQ(client.Socket(), nullptr);

  client.SetReadBufferSize(5120);
  client.SetRecordSize(100);
  client.LineType = transport::lstLF;
  client.LineOptions.Include(transport::lsoReturnLineChars);
  client.OnLineReceived = [](transport::TLineSocketBase&, const std::string&, bool) {};
  client.OnReadBufferFull = [](transport::TBufferedSocketBase&) {};
  client.SetSocketClass(TTextClient::LineSocketClass());
  auto& socket = sockets::CheckedCast<TLineSocket>(*client.Socket());
  EXPECT_EQ(socket.ReadBufferSize(), 5120u);
  EXPECT_EQ(socket.RecordSize(), 100u);
  EXPECT_EQ(socket.LineType, transport::lstLF);
  EXPECT_EQ(socket.LineOptions.Byte(), client.LineOptions.Byte());
  EXPECT_TRUE(socket.OnLineReceived && socket.OnReadBufferFull && !socket.OnFileSent);

  // Later changes are for the next socket object only.
  client.SetReadBufferSize(1024);
  EXPECT_EQ(socket.ReadBufferSize(), 5120u);
  client.SetRecordSize(6000);
  EXPECT_EQ(Outcome([&] { client.SetSocketClass(sockets::TSocketClass::Of<OtherLineSocket>()); }),
            "Cannot change buffer size - data will be lost.");
  EXPECT_EQ(client.Socket(), nullptr);
}

// A reset in the middle of a line ends the connection; the next one starts clean
// on the same socket object.
TEST_F(LoopbackTest, TextClientReconnectsCleanAfterAResetMidLine) {
  testsupport::ScriptedServer server;
  TTextClient client(nullptr);
  std::vector<std::string> lines;
  int disconnects = 0;
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    lines.push_back(line);
  };
  client.OnDisconnect = [&](sockets::TSockCtrl&, sockets::TSocketBase*) { ++disconnects; };

  TLineSocket* socket = &Connect(client, server.Port());
  ASSERT_TRUE(server.WaitForClient());
  server.Send("half a li");
  ASSERT_TRUE(WaitUntil([&] { return socket->ReadCount() == 9; }));
  server.ResetClient();
  ASSERT_TRUE(WaitUntil([&] { return disconnects == 1; }));
  EXPECT_EQ(socket->LastError(), 10054);
  EXPECT_FALSE(client.Connected());
  EXPECT_EQ(&Connect(client, server.Port()), socket);
  ASSERT_TRUE(WaitUntil([&] { return server.ClientsAccepted() == 2 && server.HasClient(); }));
  server.SendLine("fresh");
  ASSERT_TRUE(WaitUntil([&] { return !lines.empty(); }));
  EXPECT_EQ(lines, std::vector<std::string>{"fresh"});
}

}  // namespace
}  // namespace transport_test
