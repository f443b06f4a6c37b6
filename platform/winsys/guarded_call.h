// Runs a handler where an escaping exception must not travel on into Qt's event
// delivery: it goes to the application's exception handler instead.
#pragma once

#include <QObject>
#include <exception>
#include <stdexcept>
#include <type_traits>
#include <utility>

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

// Connects `handler` to `signal` of `sender` for as long as `receiver` lives,
// and runs it guarded. The handler takes the signal's arguments, or none.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, const QObject* receiver,
                                       Handler handler) {
  if constexpr (std::is_invocable_v<const Handler&>) {
    return QObject::connect(sender, signal, receiver,
                            [handler = std::move(handler)] { CallGuarded(handler); });
  } else {
    return QObject::connect(
        sender, signal, receiver,
        [handler = std::move(handler)](const auto&... arguments)
            -> void requires std::is_invocable_v<const Handler&, decltype(arguments)...> {
          CallGuarded([&] { handler(arguments...); });
        });
  }
}

// The same for a member of the receiver that takes no arguments.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
  return ConnectGuarded(sender, signal, receiver, [receiver, handler] { (receiver->*handler)(); });
}

}  // namespace winsys
