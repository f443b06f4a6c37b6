// Lines that do not fit the window's buffers: a server line longer than the read
// buffer, and typed lines that cannot be written, or not yet.
#include <atomic>
#include <thread>

#include "tests/Unit1/form_fixture.h"
#include "tests/support/loopback_socket.h"
#include "transport/text_client.h"

namespace unit1 {
namespace {

using testsupport::LoopbackSocket;
using testsupport::WaitUntil;
using Lines = std::vector<std::string>;

// The connection stays in use: the over-long line goes, with one log line, and
// everything around it is handled as usual.
TEST_F(FormTest, OverLongServerLinesAreDroppedAndTheConnectionKeepsListening) {
  Register();
  // 5119 bytes and the CR fill the 5120-byte buffer exactly: the LF comes
  // after the buffer was found full.
  for (const std::size_t length : {5119u, 6u * 1024, 64u * 1024, 1024u * 1024}) {
    SCOPED_TRACE(length);
    // The line ends with its CR in one piece and its LF in the next.
    const std::string bytes = "NOTICE Tolvex :before\r\n" + std::string(length, 'x') + "\r";
    // Sent from a thread of its own, since the window reads only while the
    // test's loop runs; the server is not asked anything meanwhile.
    std::atomic<bool> sent = false;
    std::thread sender([&] {
      server_.Send(bytes);
      server_.Send("\nNOTICE Tolvex :after\r\n");
      sent = true;
    });
    const bool done = WaitUntil([&] { return sent.load(); }, 30000);
    sender.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(Deliver({}), Lines{}) << "the PING behind the line is answered";
    EXPECT_EQ(
        LogLines(),
        (Lines{"before", "Over-long line dropped: " + std::to_string(length) + " bytes", "after"}));
    form_.Memo1->clear();
  }
  EXPECT_TRUE(form_.IRCClient->Connected());
}

TEST_F(FormTest, TypedLineBeforeAnyConnectionStaysWithANote) {
  Type(form_.Edit1, "hello");
  PressReturn(form_.Edit1);
  Type(form_.Edit2, "WHOIS alice");
  PressReturn(form_.Edit2);
  EXPECT_EQ(form_.Edit1->text(), "hello");
  EXPECT_EQ(form_.Edit2->text(), "WHOIS alice");
  EXPECT_EQ(LogLines(), (Lines{"Line not sent: not connected", "Line not sent: not connected"}));

  // After a connection has come and gone it is the same.
  Register();
  Click(form_.btnConnect);
  form_.Memo1->clear();
  PressReturn(form_.Edit2);
  EXPECT_EQ(form_.Edit2->text(), "WHOIS alice");
  EXPECT_EQ(LogLines(), Lines{"Line not sent: not connected"});
}

TEST_F(FormTest, MessageTooLongForTheWriteBufferStaysInItsEntry) {
  Register();
  const QString text(10000, 'm');
  form_.Edit1->setText(text);
  PressReturn(form_.Edit1);
  EXPECT_EQ(form_.Edit1->text(), text);
  EXPECT_EQ(LogLines(),
            Lines{"Line not sent: too long for the write buffer (10028 of 5120 bytes)"});
  EXPECT_EQ(Deliver({}), Lines{}) << "nothing of it reaches the server";
}

// A server that reads nothing: typed lines go until the write buffer is full;
// the one that finds no room stays, and every line that went arrives whole.
TEST_F(FormTest, LineForAFullWriteBufferStaysInItsEntry) {
  const LoopbackSocket listener = LoopbackSocket::Listen();
  ConnectTo(listener.Port());
  const LoopbackSocket server = listener.Accept();
  ASSERT_TRUE(server.Valid());
  ASSERT_TRUE(WaitUntil([&] { return form_.IRCClient->Connected(); }));

  const std::string line(5000, 'w');
  form_.Edit2->setText(QString::fromStdString(line));
  int written = 0;
  for (; written < 5000; ++written) {
    PressReturn(form_.Edit2);
    if (!form_.Edit2->text().isEmpty()) break;
    form_.Edit2->setText(QString::fromStdString(line));
  }
  ASSERT_LT(written, 5000) << "the write buffer never filled";
  EXPECT_EQ(form_.Edit2->text(), QString::fromStdString(line));
  EXPECT_EQ(LogLines(), Lines{"Line not sent: the server is not reading (write buffer full)"});

  // Read now: the registration and exactly the lines that went, all whole.
  std::string received;
  Lines lines;
  const auto all_arrived = [&] {
    received += server.Receive(1 << 20, 10);
    for (std::string& taken : testsupport::TakeCrLfLines(received)) lines.push_back(taken);
    return lines.size() >= std::size_t(3 + written);
  };
  ASSERT_TRUE(WaitUntil(all_arrived, 20000)) << lines.size() << " of " << 3 + written;
  EXPECT_EQ(lines.size(), std::size_t(3 + written));
  EXPECT_EQ(received, "");
  for (std::size_t i = 3; i < lines.size(); ++i) EXPECT_EQ(lines[i], line) << i;
}

}  // namespace
}  // namespace unit1
