// TAsyncInfo: an asynchronous request registered with a socket control.
#pragma once

#include <memory>
#include <vector>

#include "platform/wsock32/winsock.h"

namespace sockets {

struct TAsyncInfo {
  winsock::HANDLE Handle = 0;
  winsock::WORD Error = 0;  // set when the request completes
};

using TAsyncRequests = std::vector<std::unique_ptr<TAsyncInfo>>;

// The first request whose handle is `handle`; none when there is no such request.
inline TAsyncInfo* FindAsyncRequest(const TAsyncRequests& requests, winsock::HANDLE handle) {
  for (const auto& request : requests) {
    if (request->Handle == handle) return request.get();
  }
  return nullptr;
}

}  // namespace sockets
