// TNamesList: the names list and the model that shows it.
#include "Unit1/names_list.h"

#include <QScrollBar>

namespace unit1 {

TNamesModel::TNamesModel(QObject* parent, const TNameSequence& names)
    : QAbstractListModel(parent),
      names_(names),
      tell_turn_(new toolkit::TOncePerTurn([this] { TellView(); }, this)) {}

int TNamesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

QVariant TNamesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= names_.Size()) return {};
  return names_.At(index.row()).Shown;
}

void TNamesModel::Changed() {
  tell_turn_->Request();
}

void TNamesModel::TellView() {
  // The view keeps the place the user scrolled to.
  auto* view = qobject_cast<QListView*>(QObject::parent());
  const int scrolled = view != nullptr ? view->verticalScrollBar()->value() : 0;
  beginResetModel();
  shown_rows_ = names_.Size();
  endResetModel();
  if (view == nullptr) return;
  view->doItemsLayout();
  view->verticalScrollBar()->setValue(scrolled);
}

TNamesList::TNamesList(QWidget* parent) : QListView(parent), model_(new TNamesModel(this, names_)) {
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setModel(model_);
}

void TNamesList::AddName(const std::string& nick) {
  names_.Add(nick);
  model_->Changed();
}

bool TNamesList::RemoveName(const std::string& nick) {
  if (!names_.RemoveFirst(nick)) return false;
  model_->Changed();
  return true;
}

int TNamesList::RenameAll(const std::string& old_nick, const std::string& new_nick) {
  const int renamed = names_.Rename(old_nick, new_nick);
  if (renamed > 0) model_->Changed();
  return renamed;
}

void TNamesList::clear() {
  names_.Clear();
  model_->Changed();
}

}  // namespace unit1
