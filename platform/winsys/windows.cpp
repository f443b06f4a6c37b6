// Hidden windows: a registry of message procedures and one dispatcher object on
// the loop's thread that receives every posted message as a Qt event.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "platform/winsys/guarded_call.h"
#include "platform/winsys/winsys.h"

namespace winsys {
namespace {

class Dispatcher;

// Shared with posting threads, hence the mutex. A procedure is held by a
// shared_ptr so that a window destroyed by its own procedure stays callable
// until that call returns.
struct Registry {
  std::mutex mutex;
  std::unordered_map<HWND, std::shared_ptr<const WindowProc>> procs;
  HWND last_handle = 0;
  Dispatcher* dispatcher = nullptr;  // owned by the application object
};

// Never destroyed: the dispatcher and late callers may outlive static destructors.
Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

std::shared_ptr<const WindowProc> FindProc(HWND window) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto found = registry.procs.find(window);
  return found == registry.procs.end() ? nullptr : found->second;
}

class MessageEvent : public QEvent {
 public:
  static Type Kind() {
    static const auto kind = Type(registerEventType());
    return kind;
  }
  MessageEvent(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
      : QEvent(Kind()), window(window), msg(msg), wParam(wParam), lParam(lParam) {}

  const HWND window;
  const UINT msg;
  const WPARAM wParam;
  const LPARAM lParam;
};

// All messages go to this one receiver, so Qt's posted-event queue keeps them in
// posting order across windows and threads.
class Dispatcher : public QObject {
 public:
  using QObject::QObject;
  ~Dispatcher() override {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.dispatcher = nullptr;
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() != MessageEvent::Kind()) return QObject::event(event);
    const auto& message = static_cast<const MessageEvent&>(*event);
    // A message for a window destroyed after posting is dropped here.
    if (auto proc = FindProc(message.window)) {
      CallGuarded([&] { (*proc)(message.window, message.msg, message.wParam, message.lParam); });
    }
    return true;
  }
};

}  // namespace

HWND AllocateHWnd(WindowProc proc) {
  auto* application = QCoreApplication::instance();
  if (!application) throw std::logic_error("Windows need an application object");
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  // Created on the loop's thread and owned by the application object, so it
  // goes away with it and a later application gets a new one.
  if (!registry.dispatcher) registry.dispatcher = new Dispatcher(application);
  const HWND window = ++registry.last_handle;
  registry.procs.emplace(window, std::make_shared<const WindowProc>(std::move(proc)));
  return window;
}

void DeallocateHWnd(HWND window) {
  std::shared_ptr<const WindowProc> proc;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto found = registry.procs.find(window);
    if (found == registry.procs.end()) return;
    proc = std::move(found->second);
    registry.procs.erase(found);
  }
  // The procedure's captures die here, outside the lock: their destructors may
  // destroy windows of their own.
}

bool IsWindow(HWND window) {
  return FindProc(window) != nullptr;
}

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  if (!registry.dispatcher || !registry.procs.contains(window)) return false;
  // Queued at the priority of the widgets' repaints: a message posted while
  // another is handled goes behind a repaint already waiting, so a socket that
  // posts its next read notification again and again cannot starve the window.
  QCoreApplication::postEvent(registry.dispatcher, new MessageEvent(window, msg, wParam, lParam),
                              Qt::LowEventPriority);
  return true;
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto proc = FindProc(window);
  return proc ? (*proc)(window, msg, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) {
  return 0;
}

}  // namespace winsys
