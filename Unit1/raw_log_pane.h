// TRawLogPane: the raw log inside the main window: a filter entry above the
// rows of the log, and the Send bytes entry below them. Hidden, it does no
// work at all; shown, it catches up with the log at the next turn of the event
// loop, and no more often than every kRawLogSyncIntervalMs while the lines
// keep coming.
#pragma once

#include <QWidget>
#include <functional>

#include "Unit1/line_history.h"
#include "Unit1/raw_log_view.h"
#include "platform/toolkit/paced_action.h"
#include "rawlog/raw_log.h"

class QLabel;
class QLineEdit;

namespace unit1 {

constexpr int kRawLogSyncIntervalMs = 50;

class TRawLogPane : public QWidget {
 public:
  TRawLogPane(const rawlog::TRawLog& log, QWidget* parent = nullptr);

  QLineEdit* Filter() const { return filter_; }
  TRawLogView* View() const { return view_; }
  QLabel* SendBytesLabel() const { return send_bytes_label_; }
  QLineEdit* SendBytes() const { return send_bytes_; }

  // Return in the Send bytes entry hands its text here; true when it went
  // out, which empties the entry and keeps the text for Up and Down.
  std::function<bool(const QString& text)> OnSendBytes;

  // The log has new lines (or dropped old ones).
  void LogChanged();
  // The log dropped every line: their rows go at once, shown or not.
  void LogCleared();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void SendBytesReturn();

  QLineEdit* filter_;
  TRawLogView* view_;
  QLabel* send_bytes_label_;
  QLineEdit* send_bytes_;
  TLineHistory send_history_;
  toolkit::TPacedAction* sync_;
};

}  // namespace unit1
