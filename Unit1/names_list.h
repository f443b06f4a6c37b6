// TNamesList: the window's names list, the channel's nicknames in one column,
// kept in the order TNameSequence gives them. The list changes at once; the
// view is told at most once per turn of the event loop, so that a names burst
// of any length costs the view one new layout per turn, not one per name.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <string>

#include "Unit1/name_sequence.h"
#include "platform/toolkit/once_per_turn.h"

namespace unit1 {

class TNamesModel : public QAbstractListModel {
 public:
  explicit TNamesModel(QObject* parent, const TNameSequence& names);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // The names changed: the view learns of it at the next turn of the loop.
  void Changed();

 private:
  void TellView();

  const TNameSequence& names_;
  // The row count the view knows.
  int shown_rows_ = 0;
  toolkit::TOncePerTurn* tell_turn_;
};

class TNamesList : public QListView {
 public:
  explicit TNamesList(QWidget* parent = nullptr);

  int count() const { return names_.Size(); }
  // The nickname shown in a row.
  QString Text(int row) const { return names_.At(row).Shown; }

  void AddName(const std::string& nick);
  bool RemoveName(const std::string& nick);
  int RenameAll(const std::string& old_nick, const std::string& new_nick);
  void clear();

 private:
  TNameSequence names_;
  TNamesModel* model_;
};

}  // namespace unit1
