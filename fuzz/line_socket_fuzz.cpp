// Feeds arbitrary bytes, in chunks, to a line socket over a scripted connection and
// stops at once when something breaks what must hold for any input: every received
// byte comes out exactly once and in order, each line ends at its first terminator,
// and every read notification ends after bounded work.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "tests/transport/fake_socket.h"

namespace {

using fuzz::Require;
using transport::TBufferedSocketBase;
using transport::TLineSocketBase;
using transport_test::BytesIn;

// How one input drives the socket, read from its first kHeaderSize bytes:
//   0: bits 0-1 the line type (3 is no type at all: an empty terminator); bit 2 all
//      chunks wait before a single read notification instead of one each; bit 3 a
//      line handler cuts the following lines from inside itself; bit 4 every line
//      is written back; bits 5-7 how many bytes an OnReadBufferFull handler takes
//      out (0: no handler).
//   1: bits 0-3 the line options; bit 4 the OnReadBufferFull handler grows the
//      buffer by its bytes instead of taking them out; bits 5-7 the read budget
//      (0: the socket's own, n: n * n * 8 bytes).
//   2-3: the read buffer size, 1 to 600.
//   4-5: the lengths of the chunks, alternating: n + 1 bytes, or 255 for the rest.
struct TScenario {
  static constexpr std::size_t kHeaderSize = 6;

  const std::uint8_t* header;

  transport::TLineSocketType Type() const { return transport::TLineSocketType(header[0] & 3); }
  bool OneNotification() const { return header[0] & 4; }
  bool NestedCuts() const { return header[0] & 8; }
  bool Echo() const { return header[0] & 16; }
  int FullTake() const { return header[0] >> 5; }
  bool FullGrows() const { return header[1] & 16; }
  std::uint32_t ReadBudget() const {
    return std::uint32_t((header[1] >> 5) * (header[1] >> 5) * 8);
  }
  transport::TLineSocketOptionsSet Options() const {
    return transport::TLineSocketOptionsSet::FromByte(header[1] & 15);
  }
  std::uint32_t ReadBufferSize() const {
    return std::uint32_t((header[2] << 8 | header[3]) % 600 + 1);
  }
  std::uint8_t ChunkLength(std::size_t i) const { return header[4 + i % 2]; }
};

// Counts the receives and the looks at what waits, and stops at once when they
// exceed what the bytes offered so far can justify: every receive brings at least a
// byte or ends a pass, and a pass is repeated only after it moved bytes or lines, so
// a notification that spins without moving anything is caught long before a
// time-out.
class TCountingLineSocket : public transport_test::FakeLine {
 public:
  std::size_t work_budget = 0;

 protected:
  int LibraryRecv(void* buffer, int count, winsock::sockaddr_in* from, int* from_length) override {
    Spend();
    // What waits is data, even when it is spelled like the scripted reset: such a
    // segment arrives in two.
    if (!incoming.empty() && incoming.front() == kReset) {
      incoming.front().erase(1);
      incoming.emplace(incoming.begin() + 1, std::string_view(kReset).substr(1));
    }
    return transport_test::FakeLine::LibraryRecv(buffer, count, from, from_length);
  }
  std::uint32_t StreamPending() override {
    Spend();
    return transport_test::FakeLine::StreamPending();
  }

 private:
  void Spend() { Require(work_budget-- > 0); }
};

// Everything the socket handed out, and what it was given.
struct TRun {
  explicit TRun(const TScenario& scenario, std::string_view stream)
      : scenario(scenario),
        stream(stream),
        terminator(transport::LineTerminatorOf(scenario.Type())),
        keeps_terminator(scenario.Options().Contains(transport::lsoReturnLineChars)),
        cuts_lines(scenario.Options().Contains(transport::lsoLineReceivedEvents)) {}

  const TScenario& scenario;
  const std::string_view stream;
  const std::string_view terminator;
  const bool keeps_terminator;
  const bool cuts_lines;

  // The bytes taken out of the read buffer, lines with their terminators, in the
  // order they left it.
  std::string taken;
  // The lines written back, as they are to appear on the connection.
  std::string written;
  std::size_t lines = 0;
  std::size_t offered = 0;
  int nesting = 0;
  bool stopped = false;
};

void OnLine(TRun& run, TLineSocketBase& socket, const std::string& line, bool complete) {
  Require(complete && run.cuts_lines && !run.terminator.empty());
  ++run.lines;
  // The line as it stood in the stream: its terminator is there once, at its end.
  std::string piece = line;
  if (!run.keeps_terminator) piece += run.terminator;
  Require(piece.size() >= run.terminator.size() &&
          piece.find(run.terminator) == piece.size() - run.terminator.size());
  run.taken += piece;

  if (run.scenario.Echo()) {
    const std::string_view added =
        run.scenario.Options().Contains(transport::lsoAddLineChars) ? run.terminator : "";
    const int held = socket.WriteCount();
    if (socket.WriteLine(line)) {
      run.written += line;
      run.written += added;
      // The connection takes everything, so a flushed line leaves nothing held.
      if (run.scenario.Options().Contains(transport::lsoAutoFlushAfterWrite)) {
        Require(socket.WriteCount() == 0);
      }
    } else {
      // All or nothing: a line that does not fit leaves the write buffer alone.
      Require(socket.WriteCount() == held &&
              std::size_t(socket.WriteBufferFree()) < line.size() + added.size());
    }
  }
  // A line cut from inside this handler leaves this handler's line as it was.
  if (run.scenario.NestedCuts() && run.nesting < 3) {
    const std::string before = line;
    ++run.nesting;
    socket.ExtractLine();
    --run.nesting;
    Require(line == before);
  }
}

void OnFull(TRun& run, TBufferedSocketBase& socket) {
  // A full buffer that holds a whole line has the line cut before anyone is told.
  Require(socket.ReadBufferFree() == 0);
  if (run.cuts_lines) {
    Require(socket.FindTerminator(run.terminator, 0) == TBufferedSocketBase::kNotFound);
  }
  if (run.scenario.FullGrows()) {
    socket.SetReadBufferSize(socket.ReadBufferSize() + std::uint32_t(run.scenario.FullTake()));
    return;
  }
  char bytes[8];
  const int held = socket.ReadCount();
  const int n = socket.Read(bytes, std::uint32_t(run.scenario.FullTake()));
  Require(n == std::min(held, run.scenario.FullTake()));
  run.taken.append(bytes, std::size_t(n));
}

// One read notification. Its only allowed failure is a buffer still full after
// everything that could be taken out was.
void Notify(TRun& run, TCountingLineSocket& socket) {
  socket.work_budget = 5 * run.offered + 2;
  try {
    socket.DoRead();
  } catch (const transport::EBufferedSocketException& error) {
    Require(std::string_view(error.what()) == transport::kMsgReadBufferFull && !run.stopped);
    run.stopped = true;
  }
}

// A notification that ends with bytes still waiting after its last receive is
// followed by another, as the socket library posts one; each of them moves bytes.
void NotifyWhileBytesWait(TRun& run, TCountingLineSocket& socket) {
  for (;;) {
    const std::size_t before = BytesIn(socket.incoming);
    Notify(run, socket);
    const std::size_t after = BytesIn(socket.incoming);
    if (run.stopped || after == 0) return;
    Require(after < before);
  }
}

void RequireNothingLost(const TRun& run, const TCountingLineSocket& socket) {
  const std::size_t pending = BytesIn(socket.incoming);
  Require(pending <= run.offered);
  const std::size_t consumed = run.offered - pending;
  const std::string_view held(socket.ReadBuffer(), std::size_t(socket.ReadCount()));
  Require(run.taken.size() + held.size() == consumed);
  Require(run.stream.substr(0, run.taken.size()) == run.taken);
  Require(run.stream.substr(run.taken.size(), held.size()) == held);

  // Receiving stops only at a buffer that stays full; otherwise the notifications
  // take all that waits and leave no whole line behind.
  if (run.stopped) {
    Require(held.size() == socket.ReadBufferSize());
  } else {
    Require(pending == 0);
  }
  if (run.cuts_lines) {
    Require(socket.FindTerminator(run.terminator, 0) == TBufferedSocketBase::kNotFound);
  } else {
    Require(run.lines == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < TScenario::kHeaderSize) return 0;
  const TScenario scenario{data};
  const std::string_view stream(reinterpret_cast<const char*>(data) + TScenario::kHeaderSize,
                                size - TScenario::kHeaderSize);
  TRun run(scenario, stream);

  TCountingLineSocket socket;
  socket.LineType = scenario.Type();
  socket.LineOptions = scenario.Options();
  socket.SetReadBufferSize(scenario.ReadBufferSize());
  if (scenario.ReadBudget() > 0) socket.SetReadBudget(scenario.ReadBudget());
  socket.OnLineReceived = [&run](TLineSocketBase& self, const std::string& line, bool complete) {
    OnLine(run, self, line, complete);
  };
  if (scenario.FullTake() > 0) {
    socket.OnReadBufferFull = [&run](TBufferedSocketBase& self) { OnFull(run, self); };
  }

  std::size_t next_chunk = 0;
  const auto offer_chunk = [&] {
    const std::uint8_t length = scenario.ChunkLength(next_chunk++);
    const std::size_t n = std::min<std::size_t>(
        length == 255 ? stream.size() : std::size_t(length) + 1, stream.size() - run.offered);
    socket.incoming.emplace_back(stream.substr(run.offered, n));
    run.offered += n;
  };
  while (run.offered < stream.size() && !run.stopped) {
    offer_chunk();
    if (scenario.OneNotification() && run.offered < stream.size()) continue;
    NotifyWhileBytesWait(run, socket);
    RequireNothingLost(run, socket);
  }

  // A buffer left full takes nothing more, however much waits and however often
  // the connection reports it.
  if (run.stopped) {
    const std::size_t consumed = run.offered - BytesIn(socket.incoming);
    while (run.offered < stream.size()) offer_chunk();
    Notify(run, socket);
    Require(run.offered - BytesIn(socket.incoming) == consumed);
    RequireNothingLost(run, socket);
  }

  // Whatever was written back reaches the connection whole and in order.
  socket.DoWrite();
  Require(socket.WriteCount() == 0 && socket.sent == run.written);
  return 0;
}
