// The chat list's styler for IRC text: formatting codes become styled runs.
#pragma once

#include <string_view>

#include "Il/styled_run.h"

namespace unit1 {

// Text that is not valid UTF-8 is read as Windows-1252, as the window shows
// any text, and its runs are UTF-8: the symbols that stand for control
// characters must read alike whatever the text around them.
il::TStyledText IrcStyledText(std::string_view text);

}  // namespace unit1
