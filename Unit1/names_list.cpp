// TNamesList: the names list and the model that shows it row by row.
#include "Unit1/names_list.h"

namespace unit1 {

TNamesModel::TNamesModel(QObject* parent, TNameSequence& names)
    : QAbstractListModel(parent), names_(names) {
  names_.SetObserver(this);
}

TNamesModel::~TNamesModel() {
  names_.SetObserver(nullptr);
}

int TNamesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : names_.Size();
}

QVariant TNamesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= names_.Size()) return {};
  return names_.At(index.row()).Shown;
}

void TNamesModel::Clear() {
  beginResetModel();
  names_.Clear();
  endResetModel();
}

void TNamesModel::RowInserting(int row) {
  beginInsertRows(QModelIndex(), row, row);
}

void TNamesModel::RowInserted() {
  endInsertRows();
}

void TNamesModel::RowRemoving(int row) {
  beginRemoveRows(QModelIndex(), row, row);
}

void TNamesModel::RowRemoved() {
  endRemoveRows();
}

void TNamesModel::RowRenamed(int row) {
  const QModelIndex renamed = index(row);
  emit dataChanged(renamed, renamed, {Qt::DisplayRole});
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
  for (int row = 0; row < names_.Size(); ++row) names.append(names_.At(row).Shown);
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
