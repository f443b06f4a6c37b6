// TNamesList: the window's names list, the channel's nicknames in one column,
// kept in the order TNameSequence gives them. The view hears of each row as it
// comes, goes or is renamed, so that it keeps the user's selection and scroll
// position while names change; it lays itself out once per turn of the event
// loop however many rows changed.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>
#include <string>

#include "Unit1/name_sequence.h"

namespace unit1 {

class TNamesModel : public QAbstractListModel, public TNameSequenceObserver {
 public:
  explicit TNamesModel(QObject* parent, TNameSequence& names);
  ~TNamesModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Every name goes at once: the view starts afresh.
  void Clear();

 private:
  void RowInserting(int row) override;
  void RowInserted() override;
  void RowRemoving(int row) override;
  void RowRemoved() override;
  void RowRenamed(int row) override;

  TNameSequence& names_;
};

class TNamesList : public QListView {
 public:
  explicit TNamesList(QWidget* parent = nullptr);
  // The model goes first: it reads the names, which go with the list.
  ~TNamesList() override;

  int count() const { return names_.Size(); }
  // The nickname shown in a row.
  QString Text(int row) const { return names_.At(row).Shown; }
  // Every nickname as shown, in list order.
  QStringList Names() const;

  void AddName(const std::string& nick);
  bool AddNameIfAbsent(const std::string& nick);
  bool RemoveName(const std::string& nick);
  int RenameAll(const std::string& old_nick, const std::string& new_nick);
  void clear();

 private:
  TNameSequence names_;
  TNamesModel* model_;
};

}  // namespace unit1
