// What an action gives, as text to compare: its result printed, or the message of
// the exception it raises.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <type_traits>

namespace testsupport {

// "none" for an action without a result that raises nothing.
template <typename Action>
std::string Outcome(Action action) {
  try {
    if constexpr (std::is_void_v<decltype(action())>) {
      action();
      return "none";
    } else {
      return testing::PrintToString(action());
    }
  } catch (const std::exception& error) {
    return error.what();
  }
}

}  // namespace testsupport
