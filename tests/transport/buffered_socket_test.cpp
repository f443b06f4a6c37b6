// The buffered socket's buffer logic over a scripted connection: the boundaries
// of its operations, resizing, pull-up, and the order of its events.
#include <gtest/gtest.h>

#include <optional>

#include "tests/transport/fake_socket.h"

namespace transport_test {
namespace {

using transport::TBufferedSocketBase;

// A socket holding `bytes` in its read buffer, received in one piece.
void Receive(FakeBuffered& socket, const std::string& bytes) {
  socket.incoming.push_back(bytes);
  socket.FillReadBuffer();
}

TEST(BufferedSocket, ReadsAtTheBoundaries) {
  FakeBuffered socket;
  std::vector<std::string> log;
  LogBufferEvents(socket, log);
  Receive(socket, "abcdefgh");
  char out[16] = {};
  EXPECT_FALSE(socket.ReadBlock(out, 9));
  EXPECT_EQ(socket.ReadCount(), 8);
  EXPECT_EQ(Outcome([&] { socket.ReadBlock(out, 0); }), "Cannot read block/record - size is zero.");
  EXPECT_EQ(Outcome([&] { socket.ReadBlock(out, 1025); }),
            "Block size is larger than buffer size.");
  socket.SetRecordSize(3);
  EXPECT_TRUE(socket.ReadRecord(out));
  EXPECT_EQ(std::string(out, 3), "abc");
  EXPECT_EQ(socket.Read(out, 100), 5);
  EXPECT_EQ(std::string(out, 5), "defgh");
  EXPECT_EQ(log, (std::vector<std::string>{"read change", "read empty"}));
  EXPECT_EQ(socket.Read(out, 100), 0);
}

TEST(BufferedSocket, WritesAtTheBoundaries) {
  struct Case {
    int held;
    std::uint32_t count;
    std::string written;  // the result, or the failure's message
    int full_events;
  };
  for (const Case& c : std::vector<Case>{
           {0, 1024, "1024", 1},
           {1, 1024, "1023", 1},
           {1024, 10, "0", 0},
           {0, 1025, "Write buffer full, user did not flush", 0},
       }) {
    FakeBuffered socket;
    int full_events = 0;
    socket.WriteBlock(std::string(std::size_t(c.held), 'h').data(), std::uint32_t(c.held));
    socket.OnWriteBufferFull = [&](TBufferedSocketBase&) { ++full_events; };
    const std::string bytes(c.count, 'w');
    EXPECT_EQ(Outcome([&] { return socket.Write(bytes.data(), c.count); }), c.written)
        << c.held << "+" << c.count;
    EXPECT_EQ(full_events, c.full_events) << c.held << "+" << c.count;
  }
  FakeBuffered socket;
  EXPECT_TRUE(socket.WriteBlock("", 0));
  socket.WriteBlock(std::string(1000, 'x').data(), 1000);
  EXPECT_EQ(Outcome([&] { socket.WriteBlock(std::string(25, 'x').data(), 25); }),
            "Block size is larger than buffer size.");
  EXPECT_FALSE(socket.WriteString(std::string(23, 'x'), "\r\n"));
  EXPECT_EQ(socket.WriteCount(), 1000);
  EXPECT_TRUE(socket.WritePChar("abc", "\r\n"));
  EXPECT_EQ(std::string(socket.WriteBuffer() + 1000, 5), "abc\r\n");
}

TEST(BufferedSocket, StringsNeedTheirWholeTerminator) {
  struct Case {
    std::string held;
    std::string terminator;
    bool keep;
    std::optional<std::string> string;
    int left;
  };
  for (const Case& c : std::vector<Case>{
           {"ab\r", "\r\n", false, std::nullopt, 3},
           {"ab\r\ncd", "\r\n", false, "ab", 2},
           {"ab\r\ncd", "\r\n", true, "ab\r\n", 2},
           {"x\r\r\n", "\r\n", false, "x\r", 0},
           {"a\nb\r\n", "\r\n", false, "a\nb", 0},
           {"ab\r\n", "", false, std::nullopt, 4},
       }) {
    FakeBuffered socket;
    Receive(socket, c.held);
    std::string line = "untouched";
    const bool found = socket.ReadString(line, c.terminator, c.keep);
    EXPECT_EQ(found ? std::optional(line) : std::nullopt, c.string)
        << testing::PrintToString(c.held);
    EXPECT_EQ(socket.ReadCount(), c.left) << testing::PrintToString(c.held);
    EXPECT_EQ(line, found ? *c.string : "untouched");
  }
}

TEST(BufferedSocket, ReadPCharTakesOnlyWhatFits) {
  FakeBuffered socket;
  Receive(socket, "abc\r\nde\n");
  char out[8];
  EXPECT_FALSE(socket.ReadPChar(out, 5, "\r\n", false));
  EXPECT_TRUE(socket.ReadPChar(out, 6, "\r\n", true));
  EXPECT_STREQ(out, "abc\r\n");
  EXPECT_TRUE(socket.ReadPChar(out, 4, "\n", false));
  EXPECT_STREQ(out, "de");
}

TEST(BufferedSocket, ResizingKeepsTheHeldBytesInOrder) {
  FakeBuffered socket;
  Receive(socket, "0123456789");
  char out[4];
  socket.Read(out, 4);
  socket.SetReadBufferSize(6);
  EXPECT_EQ(Outcome([&] { socket.SetReadBufferSize(5); }),
            "Cannot change buffer size - data will be lost.");
  Receive(socket, "abcdefgh");
  socket.SetReadBufferSize(4096);
  EXPECT_EQ(std::string(socket.ReadBuffer(), std::size_t(socket.ReadCount())), "456789");
  socket.SetWriteBufferSize(8);
  EXPECT_EQ(Outcome([&] { socket.SetRecordSize(9); }),
            "Cannot change buffer size - data will be lost.");
  socket.SetRecordSize(8);
  EXPECT_EQ(socket.RecordSize(), 8u);
}

TEST(BufferedSocket, PullUpIsBoundByTheCapacityAndTheHeldBytes) {
  FakeBuffered socket;
  socket.SetReadBufferSize(16);
  Receive(socket, "abc");
  EXPECT_EQ(Outcome([&] { socket.PullUpReadBuffer(17); }),
            "Cannot pull up buffer - amount to pull up larger than total buffer.");
  socket.PullUpReadBuffer(10);
  EXPECT_EQ(socket.ReadCount(), 0);
  Receive(socket, "de");
  EXPECT_EQ(std::string(socket.ReadBuffer(), 2), "de");
}

TEST(BufferedSocket, FillAndFlushReportEachTransferInOrder) {
  FakeBuffered socket;
  std::vector<std::string> log;
  LogBufferEvents(socket, log);
  socket.incoming = {"abc", "de"};
  socket.FillReadBuffer();
  EXPECT_EQ(socket.ReadCount(), 5);
  socket.send_room = 3;
  socket.WriteString("hello", "");
  socket.FlushWriteBuffer();
  socket.send_room = 100;
  socket.DoWrite();
  EXPECT_EQ(socket.sent, "hello");
  EXPECT_EQ(log, (std::vector<std::string>{"read change", "read change", "write change",
                                           "write empty", "write change"}));
}

TEST(BufferedSocket, AFullReadBufferFailsUnlessAHandlerTakesBytes) {
  for (const bool handler_reads : {false, true}) {
    FakeBuffered socket;
    socket.SetReadBufferSize(8);
    socket.incoming = {"0123456789"};
    socket.OnReadBufferFull = [&](TBufferedSocketBase&) {
      char out[4];
      if (handler_reads) socket.Read(out, 4);
    };
    EXPECT_EQ(Outcome([&] { socket.FillReadBuffer(); }),
              handler_reads ? "none" : "Read buffer full, user did not flush");
    EXPECT_EQ(socket.ReadCount(), handler_reads ? 6 : 8);
    EXPECT_EQ(socket.incoming.size(), handler_reads ? 0u : 1u);
  }
}

TEST(BufferedSocket, AResetByThePeerEndsInTheDisconnectHandling) {
  for (const bool on_send : {false, true}) {
    FakeBuffered socket;
    int disconnects = 0;
    DesignOwner().OnDisconnect = [&](sockets::TSockCtrl&, sockets::TSocketBase*) { ++disconnects; };
    socket.incoming = {"ab", FakeBuffered::kReset};
    socket.reset_on_send = on_send;
    socket.WriteString("x", "");
    if (on_send) {
      socket.FlushWriteBuffer();
    } else {
      socket.FillReadBuffer();
      EXPECT_EQ(socket.ReadCount(), 2);
    }
    DesignOwner().OnDisconnect = nullptr;
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(socket.Connected());
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
  std::string address = "127.0.0.1";
  // The library is not started here: the connect itself fails.
  Outcome([&] { socket.Connect("", address, "", 7000, {}); });
  EXPECT_EQ(socket.ReadCount(), 0);
  EXPECT_EQ(std::string(socket.WriteBuffer(), std::size_t(socket.WriteCount())), "NICK again\r\n");
}

TEST(BufferedSocket, SendsAndReceivesOnlyThroughItsBuffers) {
  FakeBuffered socket;
  char byte = 0;
  EXPECT_EQ(Outcome([&] { socket.Send(&byte, 1); }),
            "Recv or Send cannot be called on a buffered socket.");
  EXPECT_EQ(Outcome([&] { socket.Recv(&byte, 1); }),
            "Recv or Send cannot be called on a buffered socket.");
  socket.SetState(sockets::ssClosed);
  socket.WriteString("kept", "");
  socket.FlushWriteBuffer();
  EXPECT_EQ(socket.WriteCount(), 4);
  EXPECT_EQ(socket.sent, "");
}

}  // namespace
}  // namespace transport_test
