// The line socket over a scripted connection: where lines are cut, what the
// options change, a line too long for the buffer, and handlers that write or free
// the socket from inside a read.
#include <gtest/gtest.h>

#include <memory>

#include "tests/transport/fake_socket.h"

namespace transport_test {
namespace {

using transport::TLineSocketBase;
using transport::TLineSocketOptionsSet;
using namespace std::string_literals;

constexpr TLineSocketOptionsSet kDefaults = transport::kDefaultLineOptions;

// Each chunk arrives with a read notification of its own; every line is logged
// as "<notification>:<line>".
std::vector<std::string> LinesOf(FakeLine& socket, const std::vector<std::string>& chunks) {
  std::vector<std::string> lines;
  int notification = 0;
  socket.OnLineReceived = [&](TLineSocketBase&, const std::string& line, bool complete) {
    EXPECT_TRUE(complete);
    lines.push_back(std::to_string(notification) + ":" + line);
  };
  for (const std::string& chunk : chunks) {
    ++notification;
    socket.incoming.push_back(chunk);
    socket.DoRead();
  }
  return lines;
}

TEST(LineSocket, CutsLinesWhereverTheStreamIsSplit) {
  struct Case {
    transport::TLineSocketType type;
    TLineSocketOptionsSet options;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
  };
  const TLineSocketOptionsSet keep =
      TLineSocketOptionsSet(kDefaults).Include(transport::lsoReturnLineChars);
  const TLineSocketOptionsSet no_events =
      TLineSocketOptionsSet(kDefaults).Exclude(transport::lsoLineReceivedEvents);
  for (const Case& c : std::vector<Case>{
           {transport::lstCRLF,
            kDefaults,
            {"one\r", "\ntwo\r\nth", "ree\r\n"},
            {"2:one", "2:two", "3:three"}},
           {transport::lstCRLF, kDefaults, {"a\nb\rc\r\n"}, {"1:a\nb\rc"}},
           {transport::lstCRLF, kDefaults, {"\r\n\r\n"}, {"1:", "1:"}},
           {transport::lstLF, kDefaults, {"a\r\nb\n"}, {"1:a\r", "1:b"}},
           {transport::lstCR, kDefaults, {"a\rb\n\r"}, {"1:a", "1:b\n"}},
           {transport::lstCRLF, keep, {"a\r\n", "b\r", "\n"}, {"1:a\r\n", "3:b\r\n"}},
           {transport::lstCRLF, no_events, {"a\r\n"}, {}},
       }) {
    FakeLine socket;
    socket.LineType = c.type;
    socket.LineOptions = c.options;
    EXPECT_EQ(LinesOf(socket, c.chunks), c.lines) << testing::PrintToString(c.chunks);
  }
}

TEST(LineSocket, WorksOffMoreThanTheBufferHoldsInOneNotification) {
  FakeLine socket;
  socket.SetReadBufferSize(8);
  EXPECT_EQ(LinesOf(socket, {"aaaa\r\nbbbbb\r\ncccc\r\n"}),
            (std::vector<std::string>{"1:aaaa", "1:bbbbb", "1:cccc"}));
}

TEST(LineSocket, ALineLongerThanTheBufferFailsUnlessAHandlerTakesIt) {
  for (const bool handler_reads : {false, true}) {
    FakeLine socket;
    socket.SetReadBufferSize(16);
    std::vector<std::string> log;
    LogBufferEvents(socket, log);
    std::string taken(16, '\0');
    socket.OnReadBufferFull = [&](transport::TBufferedSocketBase&) {
      log.emplace_back("read full");
      if (handler_reads) socket.Read(taken.data(), 16);
    };
    socket.incoming = {std::string(20, 'x') + "\r\nnext\r\n"};
    EXPECT_EQ(Outcome([&] { socket.DoRead(); }),
              handler_reads ? "none" : "Read buffer full, user did not flush");
    EXPECT_EQ(log.at(1), "read full");
    EXPECT_EQ(socket.ReadCount(), handler_reads ? 0 : 16);
    EXPECT_EQ(socket.incoming.size(), handler_reads ? 0u : 1u);
  }
}

TEST(LineSocket, WriteLineFollowsTheOptions) {
  struct Case {
    TLineSocketOptionsSet options;
    std::uint32_t buffer;
    bool written;
    std::string sent;
    int held;
  };
  for (const Case& c : std::vector<Case>{
           {kDefaults, 1024, true, "hi\r\n", 0},
           {TLineSocketOptionsSet(kDefaults).Exclude(transport::lsoAddLineChars), 1024, true, "hi",
            0},
           {TLineSocketOptionsSet(kDefaults).Exclude(transport::lsoAutoFlushAfterWrite), 1024, true,
            "", 4},
           {kDefaults, 3, false, "", 0},
       }) {
    FakeLine socket;
    socket.LineOptions = c.options;
    socket.SetWriteBufferSize(c.buffer);
    EXPECT_EQ(socket.WriteLine("hi"), c.written) << int(c.options.Byte());
    EXPECT_EQ(socket.sent, c.sent) << int(c.options.Byte());
    EXPECT_EQ(socket.WriteCount(), c.held) << int(c.options.Byte());
  }
}

TEST(LineSocket, AHandlerMayAnswerOrFreeTheSocketFromInsideARead) {
  FakeLine socket;
  EXPECT_EQ(LinesOf(socket, {}), std::vector<std::string>{});
  socket.OnLineReceived = [](TLineSocketBase& self, const std::string& line, bool) {
    self.WriteLine("re " + line);
  };
  socket.incoming = {"a\r\nb\r\n"};
  socket.DoRead();
  EXPECT_EQ(socket.sent, "re a\r\nre b\r\n");

  auto owned = std::make_unique<FakeLine>();
  int lines = 0;
  owned->OnLineReceived = [&](TLineSocketBase&, const std::string&, bool) {
    ++lines;
    owned.reset();
  };
  owned->incoming = {"a\r\nb\r\n"};
  owned->DoRead();
  EXPECT_EQ(lines, 1);
}

TEST(LineSocket, ABufferTooSmallForAnythingDoesNotHoldTheReadUp) {
  FakeLine socket;
  socket.SetReadBufferSize(0);
  socket.incoming = {"a\r\n"};
  socket.DoRead();
  EXPECT_EQ(socket.incoming.size(), 1u);
}

}  // namespace
}  // namespace transport_test
