// TNamesList: the window's names list, the channel's nicknames in one column,
// kept in the order TNameSequence gives them. The view hears of the changes
// once per turn of the event loop, however many names came: a single change
// as the row it is, many as one range of rows at the end and a new layout
// that moves the selection and the current row with their names. So a names
// reply of any size costs the view little, and the user's selection and
// scroll position stay.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>
#include <string>
#include <vector>

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
  // Tells the view of the changes since the last time.
  void Flush();

 private:
  struct TChange {
    bool inserted;
    int row;
  };

  void RowInserted(TNamePlace at) override;
  void RowRemoving(TNamePlace at) override;
  void RowRenamed(TNamePlace at) override;
  // A change to tell: the first of a turn asks for the flush.
  void Changed(bool inserted, TNamePlace at);
  // The row that the view's row `row` shows now, or -1 when its name went.
  int RowNow(int row) const;

  TNameSequence& names_;
  // The rows the view knows of.
  int rows_ = 0;
  // The changes not told yet, with their rows while the first is alone or the
  // view holds rows it must keep on their names (a selection, a current row).
  std::vector<TChange> changes_;
  int pending_ = 0;
  bool rows_needed_ = false;
  // A name was renamed in place while other changes waited.
  bool renamed_ = false;
  bool flush_posted_ = false;
};

class TNamesList : public QListView {
 public:
  explicit TNamesList(QWidget* parent = nullptr);
  // The model goes first: it reads the names, which go with the list.
  ~TNamesList() override;

  int count() const { return names_.Size(); }
  // The nickname shown in a row.
  QString Text(int row) const { return ShownNick(names_.At(row)); }
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
