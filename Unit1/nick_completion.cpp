// TNickCompletion: the word at the cursor completed from the names list.
#include "Unit1/nick_completion.h"

#include <QSet>
#include <algorithm>

namespace unit1 {

namespace {

QString WithoutStatus(const QString& name) {
  int skip = 0;
  while (skip < name.size() && (name[skip] == '@' || name[skip] == '+')) ++skip;
  return name.mid(skip);
}

}  // namespace

std::optional<TCompletedLine> TNickCompletion::Complete(const QString& text, int cursor,
                                                        const QStringList& names) {
  if (last_ && last_->Text == text && last_->Cursor == cursor) {
    shown_ = (shown_ + 1) % int(matches_.size());
    return last_ = Fill(shown_);
  }
  last_.reset();
  cursor = std::clamp(cursor, 0, int(text.size()));
  int start = cursor;
  while (start > 0 && !text[start - 1].isSpace()) --start;
  const QString word = text.mid(start, cursor - start);
  if (word.isEmpty()) return std::nullopt;
  matches_.clear();
  // A name can be listed twice, once with its status and once without.
  QSet<QString> seen;
  for (const QString& name : names) {
    const QString nick = WithoutStatus(name);
    if (nick.startsWith(word, Qt::CaseInsensitive) && !seen.contains(nick)) {
      seen.insert(nick);
      matches_.append(nick);
    }
  }
  if (matches_.isEmpty()) return std::nullopt;
  std::stable_sort(matches_.begin(), matches_.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  before_ = text.left(start);
  after_ = text.mid(cursor);
  shown_ = 0;
  return last_ = Fill(shown_);
}

TCompletedLine TNickCompletion::Fill(int match) {
  const QString completed = before_ + matches_[match] + (before_.isEmpty() ? ": " : "");
  return TCompletedLine{completed + after_, int(completed.size())};
}

}  // namespace unit1
