// Saving the raw log: the copy of its lines, the writing, and the save that
// runs it on a worker thread with its progress shown.
#include "Unit1/raw_log_save.h"

#include <QProgressDialog>
#include <QSaveFile>
#include <QTimer>
#include <utility>

#include "Unit1/raw_log_filter.h"
#include "Unit1/raw_log_reader.h"

namespace unit1 {

namespace {

// Lines are written in pieces of about this size.
constexpr std::size_t kWriteChunkBytes = 256 * 1024;
constexpr int kProgressTickMs = 100;

}  // namespace

TSaveOutcome WriteRawLines(const TRawLinesToSave& lines, const QString& path,
                           std::atomic<std::size_t>& written, const std::atomic<bool>& cancel) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {TSaveOutcome::skFailed, file.errorString()};
  TRawLogReader reader(lines.Blocks);
  reader.Seek(lines.Blocks.FirstNumber);
  TRawLineFilter filter(lines.Filter);
  TSaveOutcome outcome;
  std::string chunk;
  TRawLine line;
  for (bool more = reader.Next(line); more;) {
    if (filter.Matches(line)) {
      chunk += SavedRawLine(line);
      chunk += '\n';
      ++outcome.Lines;
    }
    more = reader.Next(line);
    if (chunk.size() < kWriteChunkBytes && more) continue;
    if (cancel) return {TSaveOutcome::skCancelled, {}};
    if (file.write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size())) {
      return {TSaveOutcome::skFailed, file.errorString()};
    }
    chunk.clear();
    written = std::size_t(reader.Number() - lines.Blocks.FirstNumber);
  }
  if (!file.commit()) return {TSaveOutcome::skFailed, file.errorString()};
  return outcome;
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
