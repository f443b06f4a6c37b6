// Runs a handler where an escaping exception must not travel on into Qt's event
// delivery: it goes to the application's exception handler instead.
#pragma once

#include <exception>
#include <stdexcept>

#include "platform/winsys/winsys.h"

namespace winsys {

template <typename Handler>
void CallGuarded(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    Application().HandleException(error);
  } catch (...) {
    Application().HandleException(std::runtime_error("Unknown exception"));
  }
}

}  // namespace winsys
