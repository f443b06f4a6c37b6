// The buffered socket over a scripted connection: the boundaries of its
// operations, resizing and pull-up, the order of its events, and what a reset or
// a new connection does to the held bytes.
#include <gtest/gtest.h>

#include <optional>

#include "tests/transport/fake_socket.h"

namespace transport_test {
namespace {

using transport::TBufferedSocketBase;

void Receive(FakeBuffered& socket, const std::string& bytes) {
  socket.incoming.push_back(bytes);
  socket.FillReadBuffer();
}

TEST(BufferedSocket, ReadsAtTheBoundaries) {
  FakeBuffered socket;
  std::vector<std::string> log;
  LogBufferEvents(socket, log);
  Receive(socket, "abcdefgh");
  char out[16];
  socket.SetRecordSize(3);
  EXPECT_EQ(Outcome([&] { return socket.ReadBlock(out, 9); }), "false");
  EXPECT_EQ(Outcome([&] { return socket.ReadBlock(out, 0); }),
            "Cannot read block/record - size is zero.");
  EXPECT_EQ(Outcome([&] { return socket.ReadBlock(out, 1025); }),
            "Block size is larger than buffer size.");
  EXPECT_TRUE(socket.ReadRecord(out));
  EXPECT_EQ(socket.Read(out + 3, 100), 5);
  EXPECT_EQ(std::string(out, 8), "abcdefgh");
  EXPECT_EQ(log, (std::vector<std::string>{"read change", "read empty"}));
}

TEST(BufferedSocket, WritesAtTheBoundaries) {
  // Bytes held, bytes written, what Write gives, OnWriteBufferFull raised.
  for (const auto& [held, count, written, full] :
       std::vector<std::tuple<int, int, std::string, bool>>{
           {0, 1024, "1024", true},
           {1, 1024, "1023", true},
           {1024, 10, "0", false},
           {0, 1025, "Write buffer full, user did not flush", false},
       }) {
    FakeBuffered socket;
    socket.WriteString(std::string(std::size_t(held), 'h'), "");
    bool raised = false;
    socket.OnWriteBufferFull = [&](TBufferedSocketBase&) { raised = true; };
    const std::string bytes(std::size_t(count), 'w');
    EXPECT_EQ(Outcome([&] { return socket.Write(bytes.data(), std::uint32_t(bytes.size())); }),
              written);
    EXPECT_EQ(raised, full) << held << "+" << count;
  }
  FakeBuffered socket;
  socket.WriteString(std::string(1000, 'x'), "");
  EXPECT_EQ(Outcome([&] { return socket.WriteBlock(std::string(25, 'x').data(), 25); }),
            "Block size is larger than buffer size.");
  EXPECT_FALSE(socket.WriteString(std::string(23, 'x'), "\r\n"));
  EXPECT_TRUE(socket.WritePChar("abc", "\r\n"));
  EXPECT_EQ(std::string(socket.WriteBuffer() + 995, 10), "xxxxxabc\r\n");
  // The smallest block is held like any other.
  EXPECT_TRUE(socket.WriteBlock("!", 1));
  EXPECT_EQ(socket.WriteCount(), 1006);
  EXPECT_EQ(socket.WriteBuffer()[1005], '!');
}

TEST(BufferedSocket, StringsNeedTheirWholeTerminator) {
  // Held bytes, terminator, keep it, the string read, bytes left.
  for (const auto& [bytes, terminator, keep, string, left] :
       std::vector<std::tuple<std::string, std::string, bool, std::optional<std::string>, int>>{
           {"ab\r", "\r\n", false, std::nullopt, 3},
           {"ab\r\ncd", "\r\n", false, "ab", 2},
           {"ab\r\ncd", "\r\n", true, "ab\r\n", 2},
           {"x\r\r\n", "\r\n", false, "x\r", 0},
           {"a\nb\r\n", "\r\n", false, "a\nb", 0},
           {"ab\r\n", "", false, std::nullopt, 4},
       }) {
    FakeBuffered socket;
    Receive(socket, bytes);
    std::string line;
    EXPECT_EQ(socket.ReadString(line, terminator, keep) ? std::optional(line) : std::nullopt,
              string)
        << testing::PrintToString(bytes);
    EXPECT_EQ(socket.ReadCount(), left) << testing::PrintToString(bytes);
  }
  FakeBuffered socket;
  Receive(socket, "abc\r\nd");
  char out[8];
  EXPECT_FALSE(socket.ReadPChar(out, 5, "\r\n", false));
  EXPECT_TRUE(socket.ReadPChar(out, 6, "\r\n", true));
  EXPECT_STREQ(out, "abc\r\n");
}

TEST(BufferedSocket, ResizingAndPullUpKeepTheHeldBytesInOrder) {
  FakeBuffered socket;
  Receive(socket, "0123456789");
  socket.PullUpReadBuffer(4);
  socket.SetReadBufferSize(6);
  EXPECT_EQ(Outcome([&] { socket.SetReadBufferSize(5); }),
            "Cannot change buffer size - data will be lost.");
  EXPECT_EQ(Outcome([&] { socket.PullUpReadBuffer(7); }),
            "Cannot pull up buffer - amount to pull up larger than total buffer.");
  socket.SetReadBufferSize(4096);
  Receive(socket, "ab");
  EXPECT_EQ(std::string(socket.ReadBuffer(), std::size_t(socket.ReadCount())), "456789ab");
  socket.PullUpReadBuffer(100);
  EXPECT_EQ(socket.ReadCount(), 0);
  socket.SetWriteBufferSize(8);
  EXPECT_EQ(Outcome([&] { socket.SetRecordSize(9); }),
            "Cannot change buffer size - data will be lost.");
}

TEST(BufferedSocket, FillAndFlushReportEachTransferInOrder) {
  FakeBuffered socket;
  std::vector<std::string> log;
  LogBufferEvents(socket, log);
  socket.incoming = {"abc", "de"};
  socket.FillReadBuffer();
  socket.send_room = 3;
  socket.WriteString("hello", "");
  socket.FlushWriteBuffer();
  socket.send_room = 100;
  socket.DoWrite();
  EXPECT_EQ(socket.sent, "hello");
  EXPECT_EQ(log, (std::vector<std::string>{"read change", "read change", "write change",
                                           "write empty", "write change"}));
}

TEST(BufferedSocket, AResetByThePeerEndsInTheDisconnectHandling) {
  for (const bool on_send : {false, true}) {
    FakeBuffered socket;
    int disconnects = 0;
    DesignOwner().OnDisconnect = [&](sockets::TSockCtrl&, sockets::TSocketBase*) { ++disconnects; };
    socket.incoming = {"ab", FakeBuffered::kReset};
    socket.reset_on_send = on_send;
    socket.WriteString("x", "");
    on_send ? socket.FlushWriteBuffer() : socket.FillReadBuffer();
    // The reset stays in LastError; a later fill of the closed socket is no reset.
    EXPECT_EQ(Outcome([&] { socket.FillReadBuffer(); }), "Socket not open");
    DesignOwner().OnDisconnect = nullptr;
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(socket.Connected());
    EXPECT_EQ(socket.ReadCount(), on_send ? 0 : 2);
  }
}

TEST(BufferedSocket, ANewConnectionStartsWithoutWhatTheLastOneLeft) {
  FakeBuffered socket;
  Receive(socket, "half a li");
  socket.send_room = 2;
  socket.WriteString("QUIT :gone", "\r\n");
  socket.FlushWriteBuffer();
  socket.Close();
  socket.WriteString("NICK again", "\r\n");
  socket.FlushWriteBuffer();
  std::string address = "127.0.0.1";
  // The library is not started here: the connect itself fails.
  Outcome([&] { socket.Connect("", address, "", 7000, {}); });
  EXPECT_EQ(socket.ReadCount(), 0);
  EXPECT_EQ(std::string(socket.WriteBuffer(), std::size_t(socket.WriteCount())), "NICK again\r\n");
}

}  // namespace
}  // namespace transport_test
