// What the soak checks in the window at a checkpoint.
#include "bench/soak_window_check.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "Il/indent_list_box.h"
#include "Unit1/unit1.h"

namespace bench {

namespace {

// The window keeps 200 chat entries and adds the next one after dropping.
constexpr int kChatEntriesShown = 201;

std::string SomeOf(const std::vector<std::string>& names) {
  std::string shown;
  for (std::size_t i = 0; i < std::min<std::size_t>(names.size(), 5); ++i) shown += " " + names[i];
  if (names.size() > 5) shown += " ...";
  return shown;
}

}  // namespace

WindowCheck CheckWindow(const unit1::TForm1& form, std::vector<std::string> model_names) {
  WindowCheck check;
  std::vector<std::string> listed;
  for (int row = 0; row < form.lbNames->count(); ++row) {
    listed.push_back(form.lbNames->Text(row).toStdString());
  }
  std::sort(listed.begin(), listed.end());
  std::sort(model_names.begin(), model_names.end());
  check.listed = listed.size();
  check.modelled = model_names.size();
  check.names_equal = listed == model_names;
  if (!check.names_equal) {
    std::vector<std::string> only_listed;
    std::vector<std::string> only_modelled;
    std::set_difference(listed.begin(), listed.end(), model_names.begin(), model_names.end(),
                        std::back_inserter(only_listed));
    std::set_difference(model_names.begin(), model_names.end(), listed.begin(), listed.end(),
                        std::back_inserter(only_modelled));
    check.names_differ =
        "only listed:" + SomeOf(only_listed) + "; only on the channel:" + SomeOf(only_modelled);
  }

  const int log_lines = form.Memo1->document()->blockCount();
  const int chat_entries = form.ilbChat->Count();
  check.bounds_held = log_lines <= unit1::kLogLinesKept && !form.Memo1->HasHeldLines() &&
                      form.RawLog.Size() <= rawlog::kRawLogLinesKept &&
                      form.RawLog.Bytes() <= rawlog::kRawLogBytesKept &&
                      chat_entries <= kChatEntriesShown;
  char sizes[160];
  std::snprintf(sizes, sizeof sizes, "log %d, raw %zu/%.1f MiB, chat %d", log_lines,
                form.RawLog.Size(), double(form.RawLog.Bytes()) / (1 << 20), chat_entries);
  check.sizes = sizes;
  return check;
}

}  // namespace bench
