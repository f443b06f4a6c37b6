// The dispatch of a socket control's window messages, and the deferral of
// readiness notifications while a look-up wait is in progress anywhere in the
// process.
#include <optional>

#include "platform/winsys/guarded_call.h"
#include "sockets/raise_event.h"
#include "sockets/sock_ctrl.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {

void TSockCtrl::PostDrain(winsys::HWND window) {
  if (DeferredQueue.Empty() || winsys::PostMessage(window, SM_DRAIN, 0, 0)) return;
  if (TSockCtrl* next = DeferredQueue.FirstControl()) {
    winsys::PostMessage(next->WindowHandle(), SM_DRAIN, 0, 0);
  }
}

void TSockCtrl::DrainDeferred(winsys::HWND window) {
  if (WaitNesting != 0 || DeferredQueue.Empty()) return;
  std::optional<TDeferredSelect> entry = DeferredQueue.TakeFirst();
  if (entry->Control != nullptr) {
    try {
      entry->Control->SelectEvent(entry->Message);
    } catch (...) {
      PostDrain(window);
      throw;
    }
  }
  PostDrain(window);
}

winsys::LRESULT TSockCtrl::Dispatch(winsys::HWND window, TMessage& Message) {
  // Once the application is terminating, only the close notice is handled.
  if (!winsys::Application().Terminated() || Message.Msg == SM_CLOSED) {
    winsys::CallGuarded([&] { HandleWindowMessage(Message); });
    // A handler may have destroyed this control: from here on only the window
    // handle and the process-wide queue are used.
    DrainDeferred(window);
  }
  Message.Result = winsys::DefWindowProc(window, Message.Msg, Message.WParam, Message.LParam);
  return Message.Result;
}

void TSockCtrl::HandleWindowMessage(TMessage& Message) {
  switch (Message.Msg) {
    case SM_SELECT:
      // Behind a wait, or behind notifications already queued: arrival order.
      if (WaitNesting != 0 || !DeferredQueue.Empty()) {
        DeferredQueue.Append(Message, this);
      } else {
        SelectEvent(Message);
      }
      break;
    case SM_CLOSED:
      SocketClosed(reinterpret_cast<TSocketBase*>(Message.LParam));
      break;
    case SM_ASYNC:
      AsyncEvent(Message);
      break;
    case SM_LOOKUP:
      RecordLookupCompletion(Message);
      break;
    default:
      break;
  }
}

void TSockCtrl::SocketClosed(TSocketBase*) {
  DeferredQueue.Disown(this);
}

void TSockCtrl::AsyncEvent(TMessage& Message) {
  TAsyncInfo* request = FindAsyncRequest(AsyncRequests, Message.WParam);
  if (request == nullptr) return;
  StopTimeOut();
  request->Error = winsock::WSAGETASYNCERROR(Message.LParam);
  const TLiveness::TWatch alive = Watch();
  RaiseEvent(OnAsyncComplete, *this, *request);
  if (!alive) return;
  std::erase_if(AsyncRequests, [request](const auto& item) { return item.get() == request; });
}

}  // namespace sockets
