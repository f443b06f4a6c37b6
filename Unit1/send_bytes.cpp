// The Send bytes entry: its text, escapes read, goes to the server exactly,
// with no line end added, through the write path of every other line.
#include "Unit1/unit1.h"
#include "bytes/byte_escapes.h"
#include "platform/toolkit/text_codec.h"

namespace unit1 {

namespace {

std::string BadEscapeText(const bytes::TUnescapedBytes& read) {
  const std::string at = " at column " + std::to_string(read.BadColumn);
  if (read.BadEscape == "\\") return "a lone \\ at the end (\\\\ sends a backslash)";
  if (read.BadEscape.starts_with("\\x")) {
    return "malformed escape " + read.BadEscape + at + " (\\x takes two hex digits)";
  }
  return "unknown escape " + read.BadEscape + at;
}

}  // namespace

bool TForm1::SendBytes(const QString& text) {
  const bytes::TUnescapedBytes read = bytes::UnescapeBytes(toolkit::TypedText(text));
  if (!read.Ok()) {
    AddLogLine("Bytes not sent: " + BadEscapeText(read));
    return false;
  }
  if (const auto why = WriteOut(read.Bytes, false)) {
    AddLogLine("Bytes not sent: " + *why);
    RecordLine(TRawDirection::rdNote, "Bytes not sent (" + *why + "): " + read.Bytes);
    return false;
  }
  return true;
}

}  // namespace unit1
