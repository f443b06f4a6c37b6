// The owner-drawn list as assistive technology sees it: a list whose children
// are all its rows (not only those in view), and the factory that gives the
// toolkit's controls their accessible interfaces.
#pragma once

#include <QAccessibleWidget>

namespace toolkit {

class TListBox;

class TListBoxAccessible : public QAccessibleWidget {
 public:
  explicit TListBoxAccessible(TListBox* box);

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  // The current row while the list has the focus.
  QAccessibleInterface* focusChild() const override;
  QAccessible::State state() const override;

 private:
  TListBox* Box() const;
};

// Installs the factory once; the list host does it as it is made.
void InstallAccessibleFactory();

}  // namespace toolkit
