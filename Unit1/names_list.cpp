// TNamesList: the names list and the model that shows it, told once a turn.
#include "Unit1/names_list.h"

#include <QMetaObject>

namespace unit1 {

TNamesModel::TNamesModel(QObject* parent, TNameSequence& names)
    : QAbstractListModel(parent), names_(names) {
  names_.SetObserver(this);
}

TNamesModel::~TNamesModel() {
  names_.SetObserver(nullptr);
}

int TNamesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

// Until the view is told, a row may show the name that has come to it since.
QVariant TNamesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= names_.Size()) return {};
  return ShownNick(names_.At(index.row()));
}

void TNamesModel::Clear() {
  beginResetModel();
  names_.Clear();
  rows_ = 0;
  changes_.clear();
  pending_ = 0;
  renamed_ = false;
  endResetModel();
}

void TNamesModel::RowInserted(TNamePlace at) {
  Changed(true, at);
}

void TNamesModel::RowRemoving(TNamePlace at) {
  Changed(false, at);
}

void TNamesModel::RowRenamed(TNamePlace at) {
  if (pending_ > 0) {
    renamed_ = true;
    return;
  }
  const QModelIndex renamed = index(names_.RowOf(at));
  emit dataChanged(renamed, renamed, {Qt::DisplayRole});
}

void TNamesModel::Changed(bool inserted, TNamePlace at) {
  if (pending_ == 0) {
    // The rows that must stay on their names are there before the first
    // change, or not at all: nothing makes them while the turn goes on.
    rows_needed_ = !persistentIndexList().isEmpty();
    if (!flush_posted_) {
      flush_posted_ = true;
      QMetaObject::invokeMethod(
          this,
          [this] {
            flush_posted_ = false;
            Flush();
          },
          Qt::QueuedConnection);
    }
  }
  ++pending_;
  if (pending_ == 1 || rows_needed_) changes_.push_back(TChange{inserted, names_.RowOf(at)});
}

int TNamesModel::RowNow(int row) const {
  for (const TChange& change : changes_) {
    if (change.inserted) {
      if (change.row <= row) ++row;
    } else if (change.row == row) {
      return -1;
    } else if (change.row < row) {
      --row;
    }
  }
  return row;
}

void TNamesModel::Flush() {
  if (pending_ == 0) return;
  const int size = names_.Size();
  if (pending_ == 1) {
    // One name came or went: the view, and a screen reader, hear of that row.
    const TChange change = changes_.front();
    if (change.inserted) {
      beginInsertRows(QModelIndex(), change.row, change.row);
      rows_ = size;
      endInsertRows();
    } else {
      beginRemoveRows(QModelIndex(), change.row, change.row);
      rows_ = size;
      endRemoveRows();
    }
    if (renamed_ && rows_ > 0) emit dataChanged(index(0), index(rows_ - 1), {Qt::DisplayRole});
  } else {
    // New rows at the end keep the rows the view holds where they are; the
    // new layout then moves those onto their names' rows.
    if (size > rows_) {
      beginInsertRows(QModelIndex(), rows_, size - 1);
      rows_ = size;
      endInsertRows();
    }
    emit layoutAboutToBeChanged();
    if (rows_needed_) {
      const QModelIndexList kept = persistentIndexList();
      QModelIndexList moved;
      moved.reserve(kept.size());
      for (const QModelIndex& old : kept) {
        const int row = RowNow(old.row());
        moved.append(row < 0 ? QModelIndex() : createIndex(row, old.column()));
      }
      changePersistentIndexList(kept, moved);
    }
    emit layoutChanged();
    if (size < rows_) {
      beginRemoveRows(QModelIndex(), size, rows_ - 1);
      rows_ = size;
      endRemoveRows();
    }
  }
  changes_.clear();
  pending_ = 0;
  renamed_ = false;
}

TNamesList::TNamesList(QWidget* parent) : QListView(parent), model_(new TNamesModel(this, names_)) {
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setModel(model_);
}

TNamesList::~TNamesList() {
  delete model_;
}

QStringList TNamesList::Names() const {
  QStringList names;
  names.reserve(names_.Size());
  for (int row = 0; row < names_.Size(); ++row) names.append(ShownNick(names_.At(row)));
  return names;
}

void TNamesList::AddName(const std::string& nick) {
  names_.Add(nick);
}

bool TNamesList::AddNameIfAbsent(const std::string& nick) {
  return names_.AddIfAbsent(nick);
}

bool TNamesList::RemoveName(const std::string& nick) {
  return names_.RemoveFirst(nick);
}

int TNamesList::RenameAll(const std::string& old_nick, const std::string& new_nick) {
  return names_.Rename(old_nick, new_nick);
}

void TNamesList::clear() {
  model_->Clear();
}

}  // namespace unit1
