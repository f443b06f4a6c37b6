// Cutting one server line into its sender, command, trailing text and kick target.
//
// The shape of a line as this parser sees it (bytes; words end at a blank, code 32;
// text ends at the first carriage return, code 13; nothing else is special):
//
//   line    = [ ":" prefix blank ] command blank params CR LF
//   prefix  = [ "!" ] [ "@" ] ( nick "!" user "@" host  |  servername )
//   params  = { word blank } [ ":" trailing ]
//
// The cut is forgiving, never strict. The prefix and the command each run up to the
// first blank, and exactly one blank after each is dropped; a word that cannot be cut
// (no blank, or a blank at once) stays where it is and its value stays empty. The
// trailing text runs from just after the first ":" of the parameters (from their
// start when there is none) up to the first carriage return; when no carriage return
// is left there is no trailing text at all, not "everything".
#include "irc/parlane_parse.h"

namespace irc {

namespace {

constexpr char kBlank = ' ';
constexpr char kCarriageReturn = '\r';
constexpr std::string_view kUnknownSender = "UNKNOWN";

void DropOneBlank(std::string_view& text) {
  if (!text.empty() && text.front() == kBlank) text.remove_prefix(1);
}

// Takes the word before the first blank into `word` and removes it from `text`.
// A text without a blank, or one that begins with a blank, gives no word.
void CutWord(std::string_view& text, std::string& word) {
  const std::size_t blank = text.find(kBlank);
  if (blank == std::string_view::npos || blank == 0) return;
  word.assign(text.substr(0, blank));
  text.remove_prefix(blank);
}

}  // namespace

void TLineCut::Reset(std::string_view line) {
  rest = line;
  RcvdNick.clear();
  RcvdFrom.clear();
  RcvdID.clear();
  RcvdCmd.clear();
}

void ParsePrefix(TLineCut& cut) {
  std::string_view& rest = cut.rest;
  if (!rest.empty() && rest.front() == ':') rest.remove_prefix(1);

  // A marker in front of the sender says where the line came from; "@" wins.
  bool marked = false;
  for (const char marker : {'!', '@'}) {
    if (!rest.empty() && rest.front() == marker) {
      cut.RcvdID.assign(1, marker);
      rest.remove_prefix(1);
      marked = true;
    }
  }
  if (!marked) cut.RcvdID.assign("***");

  CutWord(rest, cut.RcvdFrom);
  DropOneBlank(rest);
  if (cut.RcvdFrom.size() < 2) cut.RcvdFrom.assign(kUnknownSender);

  // nick!user@host is shown as "nick (user@host", without a closing parenthesis.
  const std::size_t bang = cut.RcvdFrom.find('!');
  if (bang != std::string::npos) {
    cut.RcvdNick.assign(cut.RcvdFrom, 0, bang);
    cut.RcvdFrom.replace(bang, 1, " (");
  }
}

void ParseCommand(TLineCut& cut) {
  CutWord(cut.rest, cut.RcvdCmd);
  DropOneBlank(cut.rest);
}

void GetTrailing(std::string_view rest, std::string& target) {
  const std::size_t colon = rest.find(':');
  const std::size_t start = colon == std::string_view::npos ? 0 : colon + 1;
  const std::size_t cr = rest.find(kCarriageReturn);
  if (cr != std::string_view::npos && cr > start) target.append(rest.substr(start, cr - start));
}

void ParseTarget(std::string_view rest, std::string& Person, std::string& Reason) {
  Person.clear();
  Reason.clear();

  // The first parameter (a channel, or the nickname of a KILL) is skipped.
  const std::size_t first_blank = rest.find(kBlank);
  if (first_blank != std::string_view::npos) rest.remove_prefix(first_blank + 1);

  // The person ends at the next blank; one more character (that blank) is dropped,
  // so without a blank the first character of the rest is lost.
  CutWord(rest, Person);
  if (!rest.empty()) rest.remove_prefix(1);

  // The reason loses its blanks: its words run together.
  for (const char c : BeforeCarriageReturn(rest)) {
    if (c != kBlank) Reason.push_back(c);
  }
}

std::string_view BeforeCarriageReturn(std::string_view text) {
  const std::size_t cr = text.find(kCarriageReturn);
  return cr == std::string_view::npos ? std::string_view() : text.substr(0, cr);
}

std::size_t FindMarked(std::string_view text, char mark, std::string_view word) {
  for (std::size_t at = text.find(mark); at != std::string_view::npos;
       at = text.find(mark, at + 1)) {
    if (text.substr(at + 1).starts_with(word)) return at;
  }
  return std::string_view::npos;
}

}  // namespace irc
