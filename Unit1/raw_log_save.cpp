// Saving the raw log: the copy of its lines, the writing, and the save that
// runs it on a worker thread with its progress shown.
#include "Unit1/raw_log_save.h"

#include <QProgressDialog>
#include <QSaveFile>
#include <QTimer>
#include <utility>

namespace unit1 {

namespace {

// Lines are written in pieces of about this size.
constexpr std::size_t kWriteChunkBytes = 256 * 1024;
constexpr int kProgressTickMs = 100;

}  // namespace

void TRawLinesCopy::Add(const TRawLine& line) {
  lines_.push_back(TCopied{line.Time, line.Direction, bytes_.size(), line.Bytes.size()});
  bytes_.append(line.Bytes);
}

TRawLine TRawLinesCopy::Line(std::size_t index) const {
  const TCopied& line = lines_[index];
  return TRawLine{line.Time, line.Direction,
                  std::string_view(bytes_).substr(line.Offset, line.Length)};
}

TSaveOutcome WriteRawLines(const TRawLinesCopy& lines, const QString& path,
                           std::atomic<std::size_t>& written, const std::atomic<bool>& cancel) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {TSaveOutcome::skFailed, file.errorString()};
  std::string chunk;
  for (std::size_t i = 0; i < lines.Size(); ++i) {
    chunk += SavedRawLine(lines.Line(i));
    chunk += '\n';
    if (chunk.size() < kWriteChunkBytes && i + 1 < lines.Size()) continue;
    if (cancel) return {TSaveOutcome::skCancelled, {}};
    if (file.write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size())) {
      return {TSaveOutcome::skFailed, file.errorString()};
    }
    chunk.clear();
    written = i + 1;
  }
  if (!file.commit()) return {TSaveOutcome::skFailed, file.errorString()};
  return {};
}

TRawLogSave::TRawLogSave(TRawLinesCopy lines, const QString& path, QWidget* window, TDone done)
    : QObject(window),
      lines_(std::move(lines)),
      done_(std::move(done)),
      progress_(
          new QProgressDialog("Saving the raw log…", "Cancel", 0, int(lines_.Size()), window)),
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
