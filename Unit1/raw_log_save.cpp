// Saving the raw log: the copy of its lines, the writing, and the save that
// runs it on a worker thread with its progress shown.
#include "Unit1/raw_log_save.h"

#include <QFile>
#include <QProgressDialog>
#include <QTimer>
#include <utility>

#include "Unit1/raw_log_filter_text.h"
#include "rawlog/owner_only_file.h"
#include "rawlog/saved_lines.h"

namespace unit1 {

namespace {

constexpr int kProgressTickMs = 100;

}  // namespace

TSaveOutcome WriteRawLines(const TRawLinesToSave& lines, const QString& path,
                           std::atomic<std::size_t>& written, const std::atomic<bool>& cancel) {
  rawlog::TOwnerOnlyFile file(QFile::encodeName(path).toStdString());
  const auto failed = [&file] {
    return TSaveOutcome{TSaveOutcome::skFailed, QString::fromStdString(file.Error())};
  };
  if (!file.Ok()) return failed();
  rawlog::TRawLineFilter filter = RawLineFilterOf(lines.Filter);
  const auto write = [&file](std::string_view piece) { return file.Write(piece); };
  const rawlog::TSavedLines saved =
      rawlog::WriteSavedLines(lines.Blocks, filter, write, written, cancel);
  if (saved.End == rawlog::TSavedLines::seCancelled) return {TSaveOutcome::skCancelled, {}};
  if (saved.End == rawlog::TSavedLines::seFailed || !file.Commit()) return failed();
  return {TSaveOutcome::skSaved, {}, saved.Lines};
}

TRawLogSave::TRawLogSave(TRawLinesToSave lines, const QString& path, QWidget* window, TDone done)
    : QObject(window),
      lines_(std::move(lines)),
      done_(std::move(done)),
      progress_(new QProgressDialog("Saving the raw log…", "Cancel", 0,
                                    int(lines_.Blocks.EndNumber() - lines_.Blocks.FirstNumber),
                                    window)),
      progress_tick_(new QTimer(this)) {
  progress_->setWindowTitle("Save raw log");
  progress_->setAccessibleName("Saving the raw log");
  progress_->setMinimumDuration(kSaveProgressAfterMs);
  // The first value starts the clock after which the dialog shows.
  progress_->setValue(0);
  connect(progress_, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
  connect(progress_tick_, &QTimer::timeout, this,
          [this] { progress_->setValue(int(written_.load())); });
  progress_tick_->start(kProgressTickMs);
  writer_ = std::thread([this, path] {
    const TSaveOutcome outcome = WriteRawLines(lines_, path, written_, cancel_);
    QMetaObject::invokeMethod(
        this, [this, outcome] { Finished(outcome); }, Qt::QueuedConnection);
  });
}

TRawLogSave::~TRawLogSave() {
  cancel_ = true;
  if (writer_.joinable()) writer_.join();
  delete progress_;
}

void TRawLogSave::Finished(const TSaveOutcome& outcome) {
  writer_.join();
  progress_tick_->stop();
  delete progress_;
  progress_ = nullptr;
  done_(outcome);
  deleteLater();
}

}  // namespace unit1
