// A server line longer than the read buffer. Left there it would fill the
// buffer for good: nothing behind it would be read while the connection still
// looked open. Its bytes are dropped as they come, up to its line end, and the
// log pane says once how long it was.
#include "Unit1/unit1.h"
#include "transport/buffered_socket.h"

namespace unit1 {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr std::string_view kLineEnd = "\r\n";

std::string DroppedLineText(std::size_t length, bool complete) {
  return std::string("Over-long line dropped: ") + (complete ? "" : "at least ") +
         std::to_string(length) + " bytes";
}

}  // namespace

// By now every complete line has been cut out of the buffer: what it holds is
// the start of one line.
void TForm1::IRCClientReadBufferFull(transport::TBufferedSocketBase& Socket) {
  std::uint32_t count = std::uint32_t(Socket.ReadCount());
  // A carriage return at the end may be the first half of the line end: it
  // stays, so that the line feed behind it still ends the dropped line.
  if (count > 0 && Socket.ReadBuffer()[count - 1] == kCarriageReturn) --count;
  dropping_line_ = true;
  dropped_line_bytes_ += count;
  Socket.PullUpReadBuffer(count);
}

bool TForm1::EndOfDroppedLine(const std::string& line) {
  if (!dropping_line_) return false;
  std::size_t length = dropped_line_bytes_ + line.size();
  if (line.ends_with(kLineEnd)) length -= kLineEnd.size();
  dropping_line_ = false;
  dropped_line_bytes_ = 0;
  AddLogLine(DroppedLineText(length, true));
  RecordLine(TRawDirection::rdNote, DroppedLineText(length, true));
  return true;
}

// A connection that ends inside a dropped line still gets its log line.
void TForm1::ForgetDroppedLine() {
  if (dropping_line_) {
    AddLogLine(DroppedLineText(dropped_line_bytes_, false));
    RecordLine(TRawDirection::rdNote, DroppedLineText(dropped_line_bytes_, false));
  }
  dropping_line_ = false;
  dropped_line_bytes_ = 0;
}

}  // namespace unit1
