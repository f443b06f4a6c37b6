// Starting and stopping the socket library, and the unit's shared state.
#include "sockets/winsock_unit.h"

#include <memory>

#include "platform/winsys/winsys.h"
#include "sockets/error_text.h"
#include "sockets/sock_error.h"

namespace sockets {

winsock::WORD RequestedVersion = 0;
winsock::WSADATA WSAData{};
std::int32_t LastWinsockResult = 0;
std::int32_t LiveControlCount = 0;
std::int32_t SocketNameCounter = 0;
std::int32_t WaitNesting = 0;
TDeferredQueue DeferredQueue;

namespace {

std::unique_ptr<tWinsockAPI> binding;

// The cleanup calls of a stop: cancel a blocking call, then WSACleanup.
void CleanUpLibrary() {
  if (binding->WSAIsBlocking() != 0) binding->WSACancelBlockingCall();
  LastWinsockResult = binding->WSACleanup();
}

// Stops the library at process exit if the last control did not.
struct Finalization {
  ~Finalization() {
    try {
      StopWinsock();
    } catch (...) {
      // Nobody is left to report it to.
    }
  }
} finalization;

}  // namespace

tWinsockAPI& WinsockAPI() {
  if (!binding) binding = std::make_unique<tWinsockAPI>();
  return *binding;
}

bool WinsockStarted() {
  return WinsockAPI().Started();
}

void StartWinsock() {
  if (WinsockStarted()) return;
  WaitNesting = 0;
  LiveControlCount = 0;
  RequestedVersion = kWinsockVersion;
  LastWinsockResult = binding->WSAStartup(RequestedVersion, &WSAData);
  if (LastWinsockResult != 0) RaiseSockError(LastWinsockResult, kMsgStartingWinsock);
}

void StopWinsock() {
  const auto release = [] {
    DeferredQueue.Clear();
    WaitNesting = 0;
    if (binding) {
      winsys::Sleep(200);
      binding.reset();
    }
  };
  try {
    if (binding && binding->Started()) CleanUpLibrary();
  } catch (...) {
    release();
    throw;
  }
  release();
}

}  // namespace sockets
