// The script sent at connect: its lines, and their sending.
#include "Unit1/connect_script.h"

#include "platform/winsys/guarded_call.h"

namespace unit1 {

std::vector<TScriptLine> ScriptLines(std::string_view file_text) {
  std::vector<TScriptLine> lines;
  int number = 0;
  while (!file_text.empty()) {
    const std::size_t end = file_text.find('\n');
    std::string_view line = file_text.substr(0, end);
    file_text.remove_prefix(end == std::string_view::npos ? file_text.size() : end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    const bool blank = line.find_first_not_of(" \t") == std::string_view::npos;
    if (blank || line.starts_with('#')) continue;
    lines.push_back({number, std::string(line)});
  }
  return lines;
}

TScriptRunner::TScriptRunner() {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  winsys::ConnectGuarded(&timer_, &QTimer::timeout, &timer_, [this] { SendNext(); });
}

void TScriptRunner::Start(const TConnectScript& script, TSend send, TStopped stopped) {
  Stop();
  script_ = script;
  send_ = std::move(send);
  stopped_ = std::move(stopped);
  next_ = 0;
  SendNext();
}

void TScriptRunner::Stop() {
  timer_.stop();
  next_ = script_.Lines.size();
}

// A timer may fire a little early: the interval is measured here, so that two
// lines are never closer than it.
void TScriptRunner::SendNext() {
  if (!Running()) return;
  const auto now = std::chrono::steady_clock::now();
  const auto interval = std::chrono::milliseconds(script_.IntervalMs);
  if (next_ > 0 && now - last_sent_ < interval) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(interval - (now - last_sent_));
    timer_.start(wait);
    return;
  }
  const TScriptLine& line = script_.Lines[next_++];
  last_sent_ = now;
  if (const auto why = send_(line.Text)) {
    // The handler may start the script afresh; what it is told stays valid.
    const TScriptLine failed = line;
    Stop();
    stopped_(failed, *why);
    return;
  }
  if (Running()) timer_.start(interval);
}

}  // namespace unit1
