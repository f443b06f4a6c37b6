// What the user does with the raw log as a whole: File > Save raw log… writes
// the lines the pane shows to a file, and Clear empties it.
#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

#include "Unit1/raw_log_pane.h"
#include "Unit1/raw_log_save.h"
#include "Unit1/unit1.h"
#include "platform/toolkit/text_codec.h"
#include "platform/winsys/guarded_call.h"

namespace unit1 {

namespace {

constexpr const char* kSaveTitle = "Save raw log";

}  // namespace

void TForm1::CreateRawLogActions() {
  SaveRawLog1 = new QAction("&Save raw log…", this);
  SaveRawLog1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  File1->insertAction(Exit1, SaveRawLog1);
  File1->insertSeparator(Exit1);
  winsys::ConnectGuarded(SaveRawLog1, &QAction::triggered, this, &TForm1::SaveRawLog1Click);

  ClearRawLog1 = View1->addAction("C&lear raw log");
  winsys::ConnectGuarded(ClearRawLog1, &QAction::triggered, this, &TForm1::ClearRawLog1Click);
  QMenu* rows_menu = pnlRawLog->View()->ContextMenu();
  rows_menu->addSeparator();
  QAction* clear = rows_menu->addAction("Cl&ear");
  clear->setObjectName("Clear");
  winsys::ConnectGuarded(clear, &QAction::triggered, this, &TForm1::ClearRawLog1Click);

  pnlRawLog->OnSendBytes = [this](const QString& text) {
    bool sent = false;
    winsys::CallGuarded([&] { sent = SendBytes(text); });
    return sent;
  };
}

// The dialog says when the filter leaves lines out of the file.
void TForm1::SaveRawLog1Click() {
  TRawLogView* rows = pnlRawLog->View();
  // The count the dialog gives is of every line the filter takes.
  rows->SyncAll();
  const QString filter = pnlRawLog->Filter()->text();
  const QString title = filter.isEmpty()
                            ? QString(kSaveTitle)
                            : QString("%1: only the %2 of %3 lines that hold “%4” (the filter)")
                                  .arg(kSaveTitle)
                                  .arg(rows->Count())
                                  .arg(RawLog.Size())
                                  .arg(filter);
  const QString name =
      "raw-log-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".txt";
  auto* dialog = new QFileDialog(this, title, QDir::home().filePath(name));
  dialog->setObjectName("SaveRawLogDialog");
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  winsys::ConnectGuarded(dialog, &QFileDialog::fileSelected, this,
                         [this](const QString& path) { SaveRawLog(path); });
  dialog->open();
}

void TForm1::SaveRawLog(const QString& path) {
  TRawLinesToSave lines{RawLog.Snapshot(), pnlRawLog->Filter()->text()};
  SaveRawLog1->setEnabled(false);
  const auto done = [this, path](const TSaveOutcome& outcome) {
    SaveRawLog1->setEnabled(true);
    if (outcome.Kind == TSaveOutcome::skSaved) {
      const std::size_t count = outcome.Lines;
      AddLogLine("Raw log saved to " + toolkit::TypedText(path) + " (" + std::to_string(count) +
                 (count == 1 ? " line)" : " lines)"));
    } else if (outcome.Kind == TSaveOutcome::skCancelled) {
      AddLogLine("Raw log not saved: cancelled");
    } else {
      auto* box = new QMessageBox(QMessageBox::Warning, kSaveTitle,
                                  QString("The raw log could not be saved to %1:\n%2")
                                      .arg(QDir::toNativeSeparators(path), outcome.Error),
                                  QMessageBox::Ok, this);
      box->setObjectName("SaveRawLogError");
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
    }
  };
  new TRawLogSave(std::move(lines), path, this, done);
}

void TForm1::ClearRawLog1Click() {
  RawLog.Clear();
  pnlRawLog->LogCleared();
  RecordLine(TRawDirection::rdNote, "Raw log cleared");
}

}  // namespace unit1
