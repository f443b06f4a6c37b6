// TRawLogPane: the raw log inside the main window: a filter entry above the
// rows of the log. Hidden, it does no work at all; shown, it catches up with
// the log once per turn of the event loop.
#pragma once

#include <QWidget>

#include "Unit1/raw_log.h"
#include "Unit1/raw_log_view.h"
#include "platform/toolkit/once_per_turn.h"

class QLineEdit;

namespace unit1 {

class TRawLogPane : public QWidget {
 public:
  TRawLogPane(const TRawLog& log, QWidget* parent = nullptr);

  QLineEdit* Filter() const { return filter_; }
  TRawLogView* View() const { return view_; }

  // The log has new lines (or dropped old ones).
  void LogChanged();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* filter_;
  TRawLogView* view_;
  toolkit::TOncePerTurn* sync_turn_;
};

}  // namespace unit1
