// TRawLogPane: the filter entry, the raw log's rows and the Send bytes entry.
#include "Unit1/raw_log_pane.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace unit1 {

TRawLogPane::TRawLogPane(const rawlog::TRawLog& log, QWidget* parent)
    : QWidget(parent),
      filter_(new QLineEdit(this)),
      view_(new TRawLogView(log, this)),
      send_bytes_label_(new QLabel("Send &bytes:", this)),
      send_bytes_(new QLineEdit(this)),
      sync_(new toolkit::TPacedAction([this] { view_->Sync(); }, kRawLogSyncIntervalMs, this)) {
  auto* send_row = new QHBoxLayout;
  send_row->setContentsMargins(2, 0, 0, 0);
  send_row->addWidget(send_bytes_label_);
  send_row->addWidget(send_bytes_, 1);
  auto* stack = new QVBoxLayout(this);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  stack->addWidget(filter_);
  stack->addWidget(view_, 1);
  stack->addLayout(send_row);
  filter_->setPlaceholderText("Filter");
  filter_->setClearButtonEnabled(true);
  filter_->setAccessibleName("Raw log filter");
  view_->setAccessibleName("Raw log");
  send_bytes_label_->setBuddy(send_bytes_);
  send_bytes_->setAccessibleName("Send bytes");
  send_bytes_->setPlaceholderText(R"(exact bytes, with \r \n \t \0 \xNN \\)");
  send_bytes_->installEventFilter(this);
  setAccessibleName("Raw log pane");
  connect(filter_, &QLineEdit::textChanged, this,
          [this](const QString& text) { view_->SetFilter(text); });
  connect(send_bytes_, &QLineEdit::returnPressed, this, [this] { SendBytesReturn(); });
}

void TRawLogPane::LogChanged() {
  if (isVisible()) sync_->Request();
}

void TRawLogPane::LogCleared() {
  view_->Sync();
}

void TRawLogPane::SendBytesReturn() {
  const QString text = send_bytes_->text();
  if (text.isEmpty() || !OnSendBytes || !OnSendBytes(text)) return;
  send_history_.Add(text);
  send_bytes_->clear();
}

// Up and Down bring back the bytes sent before, as in the command line.
bool TRawLogPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched != send_bytes_ || event->type() != QEvent::KeyPress) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != 0) return false;
  if (key->key() == Qt::Key_Up) {
    if (const auto line = send_history_.Older(send_bytes_->text())) send_bytes_->setText(*line);
    return true;
  }
  if (key->key() == Qt::Key_Down) {
    if (const auto line = send_history_.Newer()) send_bytes_->setText(*line);
    return true;
  }
  return false;
}

void TRawLogPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  view_->Sync();
}

}  // namespace unit1
