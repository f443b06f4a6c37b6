// The dispatch of a socket control's window messages, the deferral of readiness
// notifications while a look-up wait is in progress anywhere in the process, and
// the wait itself.
#include <algorithm>
#include <optional>

#include "platform/winsys/guarded_call.h"
#include "sockets/exceptions.h"
#include "sockets/raise_event.h"
#include "sockets/sock_ctrl.h"
#include "sockets/socket_base.h"
#include "sockets/socket_messages.h"
#include "sockets/winsock_unit.h"

namespace sockets {

struct TSockCtrl::TLookupWait {
  winsock::HANDLE Handle;
  // The socket object this wait resolves for, when it had a socket open.
  TSocketBase* Socket;
  TLiveness::TWatch SocketAlive;
  winsock::SOCKET SocketHandle;
  bool Completed = false;
  winsock::WORD Error = 0;
  winsock::WORD BufLen = 0;
};

namespace {

// The code a wait returns when it ends without the completion, because the
// socket closes or the application terminates: the look-up then fails.
constexpr winsock::WORD kWaitEndedEarly = winsock::WSAEINTR;

// Keeps the deferred notifications moving: SM_DRAIN to `window`, or, when a
// handler destroyed that window's control, to a control that still has
// notifications queued.
void PostDrain(winsys::HWND window) {
  if (DeferredQueue.Empty() || winsys::PostMessage(window, SM_DRAIN, 0, 0)) return;
  if (TSockCtrl* next = DeferredQueue.FirstControl()) {
    winsys::PostMessage(next->WindowHandle(), SM_DRAIN, 0, 0);
  }
}

// Delivers the first deferred notification once no wait is in progress, to the
// control it was sent to, if that control still wants it. A handler that raises
// does not stall the rest of the queue.
void DrainDeferred(winsys::HWND window) {
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

}  // namespace

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

void TSockCtrl::RecordLookupCompletion(const TMessage& Message) {
  AsyncHandle_ = Message.WParam;
  AsyncError_ = winsock::WSAGETASYNCERROR(Message.LParam);
  AsyncBufLen_ = winsock::WSAGETASYNCBUFLEN(Message.LParam);
  // Kept per wait too: a wait nested in another on this control would otherwise
  // overwrite the outer one's completion.
  for (TLookupWait* wait : lookup_waits_) {
    if (wait->Handle != AsyncHandle_) continue;
    wait->Completed = true;
    wait->Error = AsyncError_;
    wait->BufLen = AsyncBufLen_;
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

// The socket object closing ends a wait. So does closing, replacing or freeing
// the socket object that had a socket open when the wait began: the look-up was
// for a connect or listen that no longer exists.
bool TSockCtrl::SocketIsClosing(const TLookupWait& wait) const {
  if (Socket_ && Socket_->State() == ssClosing) return true;
  if (wait.SocketHandle == winsock::INVALID_SOCKET) return false;
  return !wait.SocketAlive || Socket_.get() != wait.Socket ||
         Socket_->Handle() != wait.SocketHandle;
}

winsock::WORD TSockCtrl::WaitForAsync(winsock::HANDLE Handle) {
  const TLiveness::TWatch alive = Watch();
  const winsys::HWND window = WindowHandle_;
  TSocketBase* const socket = Socket_.get();
  TLookupWait wait{Handle, socket, socket ? socket->Watch() : TLiveness::TWatch(),
                   socket ? socket->Handle() : winsock::INVALID_SOCKET};
  ++WaitNesting;
  AsyncHandle_ = 0;
  AsyncError_ = 0;
  AsyncBufLen_ = 0;
  lookup_waits_.push_back(&wait);
  // Leaves the process-wide state as this wait found it; touches nothing of the
  // control, which may be gone.
  const auto leave = [&] {
    if (WaitNesting > 0 && --WaitNesting == 0) PostDrain(window);
  };
  // After a cancel no completion writes into the caller's buffer any more.
  const auto cancel = [Handle] {
    if (WinsockStarted()) WinsockAPI().WSACancelAsyncRequest(Handle);
  };

  bool abort = false;
  while (!wait.Completed && !TimedOut_ && !abort) {
    try {
      // Waits for an event to arrive, unless the wait is ending anyway.
      if (winsys::Application().Terminated() || SocketIsClosing(wait)) {
        winsys::Application().ProcessMessages();
      } else {
        winsys::Application().HandleMessage();
      }
    } catch (...) {
      if (alive) lookup_waits_.pop_back();
      leave();
      cancel();
      throw;
    }
    if (!alive) {
      // A handler destroyed this control: the frames of the operation that
      // waited must not go on either.
      leave();
      cancel();
      throw Exception("Socket control destroyed during a look-up");
    }
    abort = SocketIsClosing(wait) || winsys::Application().Terminated();
    if (abort) {
      TimeOutCount_ = 0;
      cancel();
    }
  }

  lookup_waits_.pop_back();
  leave();
  if (wait.Completed) {
    AsyncHandle_ = Handle;
    AsyncBufLen_ = wait.BufLen;
    AsyncError_ = wait.Error;
  } else if (TimedOut_) {
    AsyncError_ = winsock::WSAETIMEDOUT;
    cancel();
  } else {
    AsyncError_ = kWaitEndedEarly;
  }
  return AsyncError_;
}

}  // namespace sockets
