// Saving the raw log to a file: the log's sealed blocks are shared with a
// worker thread, which writes them, so that the window keeps answering however
// many lines there are.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "rawlog/raw_log.h"

class QProgressDialog;
class QTimer;
class QWidget;

namespace unit1 {

// A save that takes longer than this shows its progress.
constexpr int kSaveProgressAfterMs = 400;

// The lines to save: the log's blocks as they were when the save began (the
// log goes on changing while they are written), and the filter the pane had.
struct TRawLinesToSave {
  rawlog::TRawBlocks Blocks;
  QString Filter;
};

struct TSaveOutcome {
  enum TKind { skSaved, skCancelled, skFailed } Kind = skSaved;
  // Why it failed.
  QString Error;
  // How many lines were written.
  std::size_t Lines = 0;
};

// Writes the lines that the filter takes to `path` (see
// rawlog::WriteSavedLines). The file replaces one of that name only once it is
// whole, so that a failed or cancelled save leaves what was there. `written`
// counts the lines looked at; setting `cancel` stops the writing.
TSaveOutcome WriteRawLines(const TRawLinesToSave& lines, const QString& path,
                           std::atomic<std::size_t>& written, const std::atomic<bool>& cancel);

// A save running: WriteRawLines on a thread of its own, with a progress dialog
// over `window` once it has taken longer than kSaveProgressAfterMs. `done`
// hears the outcome on the window's thread, after which the save goes.
// Destroying it before stops the writing and waits for the thread.
class TRawLogSave : public QObject {
 public:
  using TDone = std::function<void(const TSaveOutcome& outcome)>;

  TRawLogSave(TRawLinesToSave lines, const QString& path, QWidget* window, TDone done);
  ~TRawLogSave() override;

 private:
  void Finished(const TSaveOutcome& outcome);

  const TRawLinesToSave lines_;
  std::atomic<std::size_t> written_ = 0;
  std::atomic<bool> cancel_ = false;
  TDone done_;
  QProgressDialog* progress_;
  QTimer* progress_tick_;
  std::thread writer_;
};

}  // namespace unit1
