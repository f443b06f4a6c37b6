// The cutting steps of a server line: small pure functions over one line's values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace irc {

// One server line while it is cut: `rest` loses the prefix and the command from its
// front (it views the caller's line), the other values are filled as they are found.
struct TLineCut {
  std::string_view rest;
  std::string RcvdNick;
  std::string RcvdFrom;
  std::string RcvdID;
  std::string RcvdCmd;

  // Empties every value; the strings keep their capacity for the next line.
  void Reset(std::string_view line);
};

// Cuts the sender from a line that begins with ":".
void ParsePrefix(TLineCut& cut);
// Cuts the command word; what remains in `rest` is the line's RcvdLine.
void ParseCommand(TLineCut& cut);
// Appends the trailing text of `rest` to `target`.
void GetTrailing(std::string_view rest, std::string& target);
// Finds the person and the reason of a kick, kill or ban in `rest`.
void ParseTarget(std::string_view rest, std::string& Person, std::string& Reason);

// The text before the first carriage return; nothing at all when there is none.
std::string_view BeforeCarriageReturn(std::string_view text);

// Position of the first `mark` that is directly followed by `word`, or npos.
std::size_t FindMarked(std::string_view text, char mark, std::string_view word);

}  // namespace irc
