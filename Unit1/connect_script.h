// The script sent at connect: the lines of a file, each sent as if typed in
// Commands, at most one every interval. TScriptRunner sends them on the event
// loop, one a turn or one an interval, and stops at the first that cannot go out.
#pragma once

#include <QTimer>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unit1 {

struct TScriptLine {
  int Number = 0;  // in the file, from 1
  std::string Text;

  bool operator==(const TScriptLine&) const = default;
};

struct TConnectScript {
  std::vector<TScriptLine> Lines;
  unsigned IntervalMs = 0;

  bool operator==(const TConnectScript&) const = default;
};

// The lines to send: each line of the file without its line end, skipping
// blank lines and those that start with #.
std::vector<TScriptLine> ScriptLines(std::string_view file_text);

class TScriptRunner {
 public:
  // Sends a line; says why when it did not go out.
  using TSend = std::function<std::optional<std::string>(const std::string& line)>;
  using TStopped = std::function<void(const TScriptLine& line, const std::string& why)>;

  TScriptRunner();
  TScriptRunner(const TScriptRunner&) = delete;
  TScriptRunner& operator=(const TScriptRunner&) = delete;

  // Sends the first line now and the others on later turns of the loop.
  void Start(const TConnectScript& script, TSend send, TStopped stopped);
  void Stop();
  bool Running() const { return next_ < script_.Lines.size(); }

 private:
  void SendNext();

  TConnectScript script_;
  TSend send_;
  TStopped stopped_;
  std::size_t next_ = 0;
  std::chrono::steady_clock::time_point last_sent_;
  QTimer timer_;
};

}  // namespace unit1
