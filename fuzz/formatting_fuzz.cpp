// Feeds arbitrary bytes to the formatting parser and checks what must hold for
// any text: the plain text is the runs' texts in a row, holds no control byte,
// no run is empty or repeats its neighbour's style, and neither the runs nor
// the text outgrow the input.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.h"
#include "irc/formatting.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<irc::TFormattedRun> runs = irc::FormattedRuns(text);
  std::string joined;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    Require(!runs[i].Text.empty());
    Require(i == 0 || runs[i].Style != runs[i - 1].Style);
    joined += runs[i].Text;
  }
  Require(runs.size() <= text.size());
  const std::string plain = irc::PlainText(text);
  // A control character becomes a symbol of three bytes, a tab up to 8 blanks.
  Require(plain.size() <= 8 * text.size());
  Require(plain == joined);
  Require(!irc::HasControlBytes(plain));
  for (const char c : plain) Require(static_cast<unsigned char>(c) >= 0x20);
  // Text without codes is shown as it came.
  if (!irc::HasControlBytes(text)) Require(plain == text);
  return 0;
}
