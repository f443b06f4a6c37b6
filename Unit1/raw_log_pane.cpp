// TRawLogPane: the filter entry and the raw log's rows.
#include "Unit1/raw_log_pane.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace unit1 {

TRawLogPane::TRawLogPane(const TRawLog& log, QWidget* parent)
    : QWidget(parent),
      filter_(new QLineEdit(this)),
      view_(new TRawLogView(log, this)),
      sync_turn_(new toolkit::TOncePerTurn([this] { view_->Sync(); }, this)) {
  auto* stack = new QVBoxLayout(this);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  stack->addWidget(filter_);
  stack->addWidget(view_, 1);
  filter_->setPlaceholderText("Filter");
  filter_->setClearButtonEnabled(true);
  filter_->setAccessibleName("Raw log filter");
  view_->setAccessibleName("Raw log");
  setAccessibleName("Raw log pane");
  connect(filter_, &QLineEdit::textChanged, this,
          [this](const QString& text) { view_->SetFilter(text); });
}

void TRawLogPane::LogChanged() {
  if (isVisible()) sync_turn_->Request();
}

void TRawLogPane::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  view_->Sync();
}

}  // namespace unit1
