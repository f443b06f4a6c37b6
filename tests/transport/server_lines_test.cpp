// The server component with line sockets: an accepted connection exchanges
// lines with a text client, and leaves when the client closes.
#include <string>
#include <vector>

#include "sockets/server_socket.h"
#include "tests/transport/loopback_fixture.h"
#include "transport/line_socket.h"

namespace transport_test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(LoopbackTest, AnAcceptedLineSocketAnswersATextClientLineByLine) {
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

  transport::TTextClient client(nullptr);
  Lines answers;
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    answers.push_back(line);
  };
  transport::TLineSocket& lines = Connect(client, server.PortNumber());
  lines.WriteLine("one");
  lines.WriteLine("two");
  ASSERT_TRUE(WaitUntil([&] { return answers.size() == 2; }));
  EXPECT_EQ(answers, (Lines{"echo one", "echo two"}));
  EXPECT_EQ(heard, (Lines{"one", "two"}));

  client.Close();
  EXPECT_TRUE(WaitUntil([&] { return server.Connections().Count() == 0; }));
}

}  // namespace
}  // namespace transport_test
