// The line socket: cutting received lines out of the read buffer, and writing
// lines.
#include "transport/line_socket.h"

#include <utility>

#include "sockets/raise_event.h"

namespace transport {

using sockets::TLiveness;

TLineSocketBase::TLineSocketBase(sockets::TSockCtrl* Owner) : TBufferedSocketBase(Owner) {}

bool TLineSocketBase::WriteLine(std::string_view Line) {
  const std::string_view terminator =
      LineOptions.Contains(lsoAddLineChars) ? GetLineTerminator() : std::string_view();
  return WriteString(Line, terminator);
}

bool TLineSocketBase::ExtractLine() {
  if (!LineOptions.Contains(lsoLineReceivedEvents)) return false;
  const TLiveness::TWatch alive = Watch();
  // A handler that cuts lines itself, from inside this one, gets a string of its
  // own.
  std::string line = std::move(spare_line_);
  const bool found =
      ReadString(line, GetLineTerminator(), LineOptions.Contains(lsoReturnLineChars));
  if (found && alive) DoLineReceived(line, true);
  if (alive) spare_line_ = std::move(line);
  return found;
}

void TLineSocketBase::DoLineReceived(const std::string& Line, bool Complete) {
  sockets::RaiseEvent(OnLineReceived, *this, Line, Complete);
}

void TLineSocketBase::DoReadBufferFull() {
  const TLiveness::TWatch alive = Watch();
  while (ExtractLine()) {
    if (!alive) return;
  }
  if (ReadBufferFree() <= 0) TBufferedSocketBase::DoReadBufferFull();
}

bool TLineSocketBase::WriteString(std::string_view Text, std::string_view Terminator) {
  const bool written = TBufferedSocketBase::WriteString(Text, Terminator);
  if (written && LineOptions.Contains(lsoAutoFlushAfterWrite)) FlushWriteBuffer();
  return written;
}

bool TLineSocketBase::WritePChar(const char* Text, std::string_view Terminator) {
  const bool written = TBufferedSocketBase::WritePChar(Text, Terminator);
  if (written && LineOptions.Contains(lsoAutoFlushAfterWrite)) FlushWriteBuffer();
  return written;
}

// Each pass must move something, received bytes or cut lines; a pass that moves
// nothing ends the work, so a buffer too small for any line cannot spin here.
// All passes share one read budget; the lines of the last pass are cut before
// returning, so only a partial line stays held for the next notification.
void TLineSocketBase::FillReadBuffer() {
  const TLiveness::TWatch alive = Watch();
  const std::uint64_t budget_end = ReceivedTotal() + ReadBudget();
  for (;;) {
    const std::uint64_t received_before = ReceivedTotal();
    FillReadBufferUntil(budget_end);
    if (!alive) return;
    bool cut_any = false;
    while (ExtractLine()) {
      if (!alive) return;
      cut_any = true;
    }
    const bool moved = cut_any || ReceivedTotal() != received_before;
    if (!moved || ReceivedTotal() >= budget_end || !LineOptions.Contains(lsoLineReceivedEvents) ||
        !GetConnected() || StreamPending() == 0) {
      return;
    }
  }
}

}  // namespace transport
