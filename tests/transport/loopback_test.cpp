// The line socket and stream transfers over a real loopback connection whose
// far end cuts the stream at random: every byte arrives once, in order; and the
// server component with line sockets, answering a text client line by line.
#include <atomic>
#include <memory>
#include <random>

#include "sockets/server_socket.h"
#include "tests/transport/loopback_fixture.h"

namespace transport_test {
namespace {

constexpr int kLines = 3000;

// Lines of 0 to 600 bytes of any value, none holding CR LF.
std::vector<std::string> RandomLines(std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::string> lines(kLines);
  for (std::string& line : lines) {
    line.resize(random() % 601);
    for (char& byte : line) byte = char(random());
    for (std::size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n")) {
      line[at + 1] = 'n';
    }
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string stream;
  for (const std::string& line : lines) stream += line + "\r\n";
  return stream;
}

// Where two byte sequences first differ, for a readable failure.
template <typename Sequence>
std::string FirstDifference(const Sequence& got, const Sequence& expected) {
  const auto [a, b] = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end());
  if (a == got.end() && b == expected.end()) return "none";
  return "at " + std::to_string(a - got.begin()) + " of " + std::to_string(got.size()) + "/" +
         std::to_string(expected.size());
}

std::string RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = char(random());
  return bytes;
}

// Each way a mebibyte goes as a stream transfer, then thousands of lines follow on
// the same connection; a full write buffer refuses a line whole and empties as the
// peer reads.
TEST_F(LoopbackTest, TransfersAndLinesCrossWholeInOrderEachOnce) {
  const std::uint32_t seed = Seed();
  SCOPED_TRACE("seed " + std::to_string(seed) + " (set TRANSPORT_SEED to repeat)");
  const std::string out = RandomBytes(1 << 20, seed);
  const std::string in = RandomBytes(1 << 20, seed + 1);
  const std::vector<std::string> lines_out = RandomLines(seed + 2);
  const std::vector<std::string> lines_in = RandomLines(seed + 3);
  const std::string written = Joined(lines_out);
  std::string arrived;
  std::atomic<bool> answered = false;
  PeerThread peer(seed, [&](const LoopbackSocket& far) {
    arrived = far.Receive(out.size() + written.size(), 30000);
    answered = far.SendAll(in + Joined(lines_in), 30000);
  });

  transport::TTextClient client(nullptr);
  transport::TMemoryStream sink;
  std::vector<std::string> transfers, received;
  client.OnConnect = [&](sockets::TSockCtrl&, sockets::TSocketBase* socket) {
    auto& line_socket = sockets::CheckedCast<transport::TLineSocket>(*socket);
    line_socket.StartReceiveTransfer(sink, std::int64_t(in.size()));
    line_socket.StartSendTransfer(std::make_unique<transport::TMemoryStream>(out));
  };
  client.OnFileSent = [&](transport::TBufferedSocketBase&) { transfers.push_back("sent"); };
  client.OnFileReceived = [&](transport::TBufferedSocketBase&) { transfers.push_back("received"); };
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    received.push_back(line);
  };
  transport::TLineSocket& socket = Connect(client, peer.Port());
  ASSERT_TRUE(WaitUntil([&] { return !transfers.empty(); }, 60000));
  for (const std::string& line : lines_out) {
    ASSERT_TRUE(WaitUntil([&] { return socket.WriteLine(line); }));
  }
  ASSERT_TRUE(WaitUntil([&] { return answered && received.size() >= lines_in.size(); }, 60000))
      << received.size() << " lines";
  EXPECT_EQ(transfers, (std::vector<std::string>{"sent", "received"}));
  EXPECT_EQ(FirstDifference(arrived, out + written), "none");
  EXPECT_EQ(FirstDifference(sink.Bytes(), in), "none");
  EXPECT_EQ(FirstDifference(received, lines_in), "none");
}

TEST_F(LoopbackTest, AnAcceptedLineSocketAnswersATextClientLineByLine) {
  sockets::TCustomBasicServerSocket server(nullptr);
  std::vector<std::string> heard;
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
  std::vector<std::string> answers;
  client.OnLineReceived = [&](transport::TLineSocketBase&, const std::string& line, bool) {
    answers.push_back(line);
  };
  transport::TLineSocket& lines = Connect(client, server.PortNumber());
  lines.WriteLine("one");
  lines.WriteLine("two");
  ASSERT_TRUE(WaitUntil([&] { return answers.size() == 2; }));
  EXPECT_EQ(answers, (std::vector<std::string>{"echo one", "echo two"}));
  EXPECT_EQ(heard, (std::vector<std::string>{"one", "two"}));

  client.Close();
  EXPECT_TRUE(WaitUntil([&] { return server.Connections().Count() == 0; }));
}

}  // namespace
}  // namespace transport_test
