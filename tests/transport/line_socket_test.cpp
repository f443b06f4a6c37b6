// The line socket over a scripted connection: where lines are cut, what the
// options change, a line too long for the buffer, and handlers that write or free
// the socket from inside a read.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "tests/transport/fake_socket.h"

namespace transport_test {
namespace {

using transport::TLineSocketBase;
using Options = transport::TLineSocketOptionsSet;

constexpr Options kDefaults = transport::kDefaultLineOptions;

// `text` cut at each '|'; nothing when empty.
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> pieces;
  for (std::size_t at = 0; at <= text.size() && !text.empty();) {
    const std::size_t bar = std::min(text.find('|', at), text.size());
    pieces.push_back(text.substr(at, bar - at));
    at = bar + 1;
  }
  return pieces;
}

// Each chunk (cut at '|') arrives with a read notification of its own; every line
// is logged as "<notification>:<line>".
TEST(LineSocket, CutsLinesWhereverTheStreamIsSplit) {
  const Options keep = Options(kDefaults).Include(transport::lsoReturnLineChars);
  const Options no_events = Options(kDefaults).Exclude(transport::lsoLineReceivedEvents);
  const std::tuple<transport::TLineSocketType, Options, std::uint32_t, std::string, std::string>
      cases[] = {
          {transport::lstCRLF, kDefaults, 1024, "one\r|\ntwo\r\nth|ree\r\n", "2:one|2:two|3:three"},
          {transport::lstCRLF, kDefaults, 1024, "a\nb\rc\r\n", "1:a\nb\rc"},
          {transport::lstCRLF, kDefaults, 1024, "\r\n\r\n", "1:|1:"},
          {transport::lstLF, kDefaults, 1024, "a\r\nb\n", "1:a\r|1:b"},
          {transport::lstCR, kDefaults, 1024, "a\rb\n\r", "1:a|1:b\n"},
          {transport::lstCRLF, keep, 1024, "a\r\n|b\r|\n", "1:a\r\n|3:b\r\n"},
          {transport::lstCRLF, no_events, 1024, "a\r\n", ""},
          // More than the buffer holds is worked off within one notification; a
          // buffer with no room at all receives nothing and does not spin.
          {transport::lstCRLF, kDefaults, 8, "aaaa\r\nbbbbb\r\ncc\r\n", "1:aaaa|1:bbbbb|1:cc"},
          {transport::lstCRLF, kDefaults, 0, "a\r\n", ""},
      };
  for (const auto& [type, options, buffer, chunks, lines] : cases) {
    FakeLine socket;
    socket.LineType = type;
    socket.LineOptions = options;
    socket.SetReadBufferSize(buffer);
    std::vector<std::string> got;
    int notification = 0;
    socket.OnLineReceived = [&](TLineSocketBase&, const std::string& line, bool complete) {
      EXPECT_TRUE(complete);
      got.push_back(std::to_string(notification) + ":" + line);
    };
    for (const std::string& chunk : Pieces(chunks)) {
      ++notification;
      socket.incoming.push_back(chunk);
      socket.DoRead();
    }
    EXPECT_EQ(got, Pieces(lines)) << testing::PrintToString(chunks);
  }
}

// A notification receives about its budget and returns; since bytes still wait,
// the library posts another, and the next one goes on where this one stopped.
TEST(LineSocket, EachNotificationKeepsToItsReadBudget) {
  std::string stream;
  std::vector<std::string> sent;
  for (int i = 0; i < 40; ++i) {
    sent.push_back("line " + std::to_string(i) + std::string(std::size_t(i % 7), 'x'));
    stream += sent.back() + "\r\n";
  }
  for (const std::uint32_t budget : {1u, 5u, 17u, 64u, 1000u}) {
    for (const std::uint32_t buffer : {16u, 40u, 1024u}) {
      for (const std::size_t chunk : {std::size_t(3), std::size_t(50), stream.size()}) {
        FakeLine socket;
        socket.SetReadBudget(budget);
        socket.SetReadBufferSize(buffer);
        std::vector<std::string> lines;
        socket.OnLineReceived = [&](TLineSocketBase&, const std::string& line, bool) {
          lines.push_back(line);
        };
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
          socket.incoming.push_back(stream.substr(at, chunk));
        }
        int notifications = 0;
        while (socket.StreamPendingForTest() > 0 && notifications < 10000) {
          const std::uint32_t before = socket.StreamPendingForTest();
          socket.DoRead();
          ++notifications;
          const std::uint32_t taken = before - socket.StreamPendingForTest();
          // It stops short of its budget only when nothing more waits; the last
          // receive may pass the budget by what the buffer held room for.
          ASSERT_GE(taken, std::min(budget, before));
          ASSERT_LT(taken, budget + buffer);
        }
        EXPECT_EQ(lines, sent) << "budget " << budget << " buffer " << buffer << " chunk " << chunk;
        EXPECT_EQ(socket.ReadCount(), 0);
        if (budget + buffer < stream.size()) {
          EXPECT_GT(notifications, 1);
        }
      }
    }
  }
}

TEST(LineSocket, ALineLongerThanTheBufferFailsUnlessAHandlerTakesIt) {
  for (const bool handler_reads : {false, true}) {
    FakeLine socket;
    socket.SetReadBufferSize(16);
    int full_events = 0;
    socket.OnReadBufferFull = [&](transport::TBufferedSocketBase&) {
      char taken[16];
      ++full_events;
      if (handler_reads) socket.Read(taken, 16);
    };
    socket.incoming = {std::string(20, 'x') + "\r\nnext\r\n"};
    EXPECT_EQ(Outcome([&] { socket.DoRead(); }),
              handler_reads ? "none" : "Read buffer full, user did not flush");
    EXPECT_EQ(full_events, 1);
    // After the failure nothing more is received until bytes are taken out.
    EXPECT_EQ(socket.ReadCount(), handler_reads ? 0 : 16);
    EXPECT_EQ(socket.incoming.size(), handler_reads ? 0u : 1u);
  }
}

TEST(LineSocket, WriteLineFollowsTheOptions) {
  // Options, write buffer size, WriteLine's result, bytes sent, bytes held.
  for (const auto& [options, buffer, written, sent, held] :
       std::vector<std::tuple<Options, std::uint32_t, bool, std::string, int>>{
           {kDefaults, 1024, true, "hi\r\n", 0},
           {Options(kDefaults).Exclude(transport::lsoAddLineChars), 1024, true, "hi", 0},
           {Options(kDefaults).Exclude(transport::lsoAutoFlushAfterWrite), 1024, true, "", 4},
           {kDefaults, 3, false, "", 0},
       }) {
    FakeLine socket;
    socket.LineOptions = options;
    socket.SetWriteBufferSize(buffer);
    EXPECT_EQ(socket.WriteLine("hi"), written) << int(options.Byte());
    EXPECT_EQ(socket.sent, sent) << int(options.Byte());
    EXPECT_EQ(socket.WriteCount(), held) << int(options.Byte());
  }
  FakeLine socket;
  EXPECT_TRUE(socket.WritePChar("hi", "\r\n"));
  EXPECT_EQ(socket.sent, "hi\r\n");
}

TEST(LineSocket, AHandlerMayAnswerOrFreeTheSocketFromInsideARead) {
  FakeLine socket;
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

}  // namespace
}  // namespace transport_test
