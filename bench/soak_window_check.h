// What the soak checks in the window at a checkpoint, while the peer holds
// still and the window's event loop is quiet: its names list against the
// peer's model, and the bounds of its logs and chat list.
#pragma once

#include <string>
#include <vector>

namespace unit1 {
class TForm1;
}

namespace bench {

struct WindowCheck {
  std::size_t listed = 0;
  std::size_t modelled = 0;
  bool names_equal = false;
  // A few names on one side only, when they differ.
  std::string names_differ;
  bool bounds_held = false;
  // The sizes the bounds apply to.
  std::string sizes;
};

WindowCheck CheckWindow(const unit1::TForm1& form, std::vector<std::string> model_names);

}  // namespace bench
