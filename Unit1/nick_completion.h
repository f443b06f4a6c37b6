// TNickCompletion: Tab in the message line completes the nickname that the
// word at the cursor begins. Names match without regard to case and to a
// leading @ or +, which the completion leaves out; at the start of the line
// the nickname is followed by ": ". Tab again, with the line as the last Tab
// left it, puts the next match in its place, round and round.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace unit1 {

struct TCompletedLine {
  QString Text;
  int Cursor = 0;

  bool operator==(const TCompletedLine&) const = default;
};

class TNickCompletion {
 public:
  // The line completed, or none when there is no word before the cursor or
  // no name it begins.
  std::optional<TCompletedLine> Complete(const QString& text, int cursor, const QStringList& names);

 private:
  TCompletedLine Fill(int match);

  // The line the last completion was made in, up to the word and after the
  // cursor, the matches, and the match shown.
  QString before_;
  QString after_;
  QStringList matches_;
  int shown_ = -1;
  std::optional<TCompletedLine> last_;
};

}  // namespace unit1
