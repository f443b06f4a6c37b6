// The rows of an owner-drawn list as assistive technology sees them: one list
// item per row, named by the row's text, made when first asked for and kept by
// row, so that a list of any length costs only the rows someone has read.
#pragma once

#include <QAccessibleInterface>
#include <QPointer>
#include <map>

namespace toolkit {

class TListBox;

class TListItemAccessible : public QAccessibleInterface {
 public:
  TListItemAccessible(TListBox* box, int row);

  TListBox* Box() const { return box_; }
  int Row() const { return row_; }
  void SetRow(int row) { row_ = row; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  // Rows out of view have no place on the screen.
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;

 private:
  QPointer<TListBox> box_;
  int row_;
};

// The list items made so far, by row. They follow their rows when rows before
// them go, and go with their own rows.
class TAccessibleRows {
 public:
  explicit TAccessibleRows(TListBox* box) : box_(box) {}
  ~TAccessibleRows();
  TAccessibleRows(const TAccessibleRows&) = delete;
  TAccessibleRows& operator=(const TAccessibleRows&) = delete;

  TListItemAccessible* Child(int row);
  void RowsRemoved(int first, int count);
  void Clear();
  int Made() const { return static_cast<int>(ids_.size()); }

 private:
  TListBox* box_;
  std::map<int, QAccessible::Id> ids_;
};

}  // namespace toolkit
