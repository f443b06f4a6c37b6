// Feeds server bytes, cut into lines, to the window's presentation: the log
// pane (IRC formatting shown as styles and colours) and the names list. The
// pane and the list live on from input to input, as they do through a long
// connection, and the target stops at once when their memory outgrows the
// bounds (the pane's lines, the document's formats) or when a change to the
// names costs more than its logarithmic share, however the list was ordered.
// The first byte of a line chooses what it feeds: 0 the log pane; 1 a join;
// 2 a part; 3 a rename ("old new"); 4 a name of a names reply.
#include <QApplication>
#include <QTextDocument>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "Unit1/log_pane.h"
#include "Unit1/name_sequence.h"
#include "fuzz/fuzz_checks.h"

namespace {

using fuzz::Require;

// Past this many names the list starts afresh: a channel's size is the
// server's to choose, and holding more proves nothing new.
constexpr int kNamesKept = 20000;

// Comparisons a change may cost: a walk down the tree of chunks and one
// chunk's worth, with splits and emptied chunks spread over the changes.
std::uint64_t CostBound(int names) {
  return 600 + 8 * std::uint64_t(std::bit_width(unsigned(names) + 2)) + std::uint64_t(names) / 32;
}

// Made once and never destroyed: the pane lives on from input to input.
struct TPresentation {
  TPresentation() {
    pane->resize(600, 400);
    pane->show();
  }
  int argc = 1;
  char name[8] = "fuzz";
  char* argv[2] = {name, nullptr};
  bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication* app = new QApplication(argc, argv);
  unit1::TLogPane* pane = new unit1::TLogPane;
  unit1::TNameSequence names;
};

}  // namespace

// The font library beneath the window system keeps allocations that the leak
// checker takes for leaks; leaks of the client's own still fail the run.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TPresentation presentation;
  unit1::TLogPane& pane = *presentation.pane;
  unit1::TNameSequence& names = presentation.names;

  pane.HoldLines();
  fuzz::ForEachLine({reinterpret_cast<const char*>(data), size}, [&](std::string_view line) {
    std::string text(line.substr(1));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const int kind = std::uint8_t(line[0]) % 5;
    if (kind == 0) {
      pane.AppendLine(text);
      return;
    }
    if (names.Size() >= kNamesKept) names.Clear();
    const std::uint64_t before = unit1::TNameSequence::Comparisons();
    int changed = 1;
    if (kind == 1) {
      names.Add(text);
    } else if (kind == 2) {
      names.RemoveFirst(text);
    } else if (kind == 3) {
      const std::size_t blank = text.find(' ');
      changed += names.Rename(text.substr(0, blank),
                              blank == std::string::npos ? "" : text.substr(blank + 1));
    } else {
      names.AddIfAbsent(text);
    }
    Require(unit1::TNameSequence::Comparisons() - before <=
            std::uint64_t(changed) * CostBound(names.Size()));
  });
  pane.ShowHeldLines();
  pane.repaint();
  QCoreApplication::processEvents();

  static std::size_t longest = 0;
  longest = std::max(longest, size);
  const QTextDocument& document = *pane.document();
  Require(document.blockCount() <= unit1::kLogLinesKept);
  // A line holds at most one input's bytes, each byte one character.
  Require(std::size_t(document.characterCount()) <=
          std::size_t(unit1::kLogLinesKept) * (longest + 1));
  // The formats: no more than the lines on screen need (a few dozen lines,
  // each at most two formats a character) or the fixed bound, and between two
  // compactions up to twice that.
  Require(std::size_t(pane.FormatsBound()) <=
          std::max(std::size_t(2 * unit1::kLogFormatsKept), 4 * 64 * (longest + 1)));
  Require(document.allFormats().size() <= 2 * qsizetype(pane.FormatsBound()) + 64);
  return 0;
}
