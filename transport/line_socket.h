// TLineSocketBase and TLineSocket: the buffered socket as a line transport. Each
// read notification cuts every complete line out of the read buffer and raises
// OnLineReceived once per line, in order; WriteLine appends a line with its
// terminator and, by default, sends it at once.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "transport/buffered_socket.h"
#include "transport/line_options.h"

namespace transport {

class TLineSocketBase;

// `complete` is always true: every line is cut at its terminator.
using TLineReceivedEvent =
    std::function<void(TLineSocketBase& socket, const std::string& line, bool complete)>;

class TLineSocketBase : public TBufferedSocketBase {
 public:
  // CR LF lines; lsoAddLineChars, lsoAutoFlushAfterWrite, lsoLineReceivedEvents.
  explicit TLineSocketBase(sockets::TSockCtrl* Owner);

  // Changes take effect at the next extraction or write.
  TLineSocketType LineType = lstCRLF;
  TLineReceivedEvent OnLineReceived;
  TLineSocketOptionsSet LineOptions = kDefaultLineOptions;

  std::string_view GetLineTerminator() const { return LineTerminatorOf(LineType); }
  // The line with the terminator when lsoAddLineChars is set, all or nothing:
  // false, with nothing appended, when it does not fit the free write space.
  bool WriteLine(std::string_view Line);
  // Cuts the first complete line out of the read buffer and raises
  // OnLineReceived with it; false when there is none or lsoLineReceivedEvents is
  // off.
  bool ExtractLine();

  // Lines are taken out first; only a buffer still full raises OnReadBufferFull
  // and fails.
  void DoReadBufferFull() override;
  // With lsoAutoFlushAfterWrite, a successful write is flushed at once.
  bool WriteString(std::string_view Text, std::string_view Terminator) override;
  bool WritePChar(const char* Text, std::string_view Terminator) override;
  // Receives and cuts lines, again and again while the connection has more and
  // the read budget lasts, so that a buffer smaller than what waits is worked
  // off in few notifications and a busy connection never holds the loop.
  void FillReadBuffer() override;
  virtual void DoLineReceived(const std::string& Line, bool Complete);

 private:
  // Lent to ExtractLine so that cutting a line reuses its storage.
  std::string spare_line_;
};

class TLineSocket : public TLineSocketBase {
 public:
  using TLineSocketBase::TLineSocketBase;
};

}  // namespace transport
