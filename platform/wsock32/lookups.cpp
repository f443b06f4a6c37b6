// Asynchronous look-ups (the four of Windows Sockets 1.1 and this library's own
// look-up of all of a name's addresses): each runs on a worker thread of its own, packs its
// result into a private image of the caller's buffer, and then, under the same
// lock that a cancellation takes, copies the image into the buffer and posts
// the completion. So once WSACancelAsyncRequest has returned 0, the buffer is
// never written and no message comes.
//
// Test switch: the environment variable WSOCK32_LOOKUP_DELAY_MS, read by the
// WSAStartup that starts the library (the first, or the first after the last
// WSACleanup). A number of milliseconds holds every completion back by that
// long after its look-up has finished; "forever" holds it back until the
// request is cancelled or the library cleaned up. Unset, empty or any other
// text: no delay.
//
// Workers are joined, not left to run: the finished ones whenever a look-up
// starts, and all of them at the last clean-up, so that none is still running
// in the process when it exits. Only a worker held inside the system's resolver
// beyond a short grace is left to end on its own.
#include "platform/wsock32/lookups.h"

#include "platform/wsock32/address_hints.h"
#include "platform/wsock32/entry_packing.h"
#include "platform/wsock32/error_state.h"
#include "platform/wsock32/startup.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

namespace wsock32 {
namespace {

constexpr long long kForever = -1;
// How long the last clean-up waits for the workers to end.
constexpr auto kWorkerGrace = std::chrono::milliseconds(500);

struct Request {
  winsys::HWND window;
  winsock::u_int message;
  char* buffer;
  int length;
  bool cancelled = false;  // guarded by the requests' mutex
};

using Lookup = std::function<PackedEntry(char* destination, int capacity)>;

// A worker thread, and whether it has nothing left to do but end.
struct Worker {
  std::thread thread;
  bool done = false;  // guarded by the requests' mutex
};

struct Requests {
  std::mutex mutex;
  std::condition_variable cancelled;
  std::condition_variable worker_done;
  std::unordered_map<winsock::HANDLE, std::shared_ptr<Request>> pending;
  std::list<Worker> workers;
  winsock::HANDLE last_handle = 0;
  long long delay_ms = 0;  // or kForever
};

// Never destroyed: workers may still run when static destructors do.
Requests& TheRequests() {
  static auto* requests = new Requests;
  return *requests;
}

// Holds the completion back as the test switch asks; false once cancelled.
bool AwaitRelease(Requests& requests, std::unique_lock<std::mutex>& lock, const Request& request,
                  long long delay_ms) {
  const auto is_cancelled = [&] { return request.cancelled; };
  if (delay_ms == kForever) {
    requests.cancelled.wait(lock, is_cancelled);
  } else if (delay_ms > 0) {
    requests.cancelled.wait_for(lock, std::chrono::milliseconds(delay_ms), is_cancelled);
  }
  return !request.cancelled;
}

void Complete(winsock::HANDLE handle, const std::shared_ptr<Request>& request, const Lookup& lookup,
              long long delay_ms) {
  PackedEntry packed;
  try {
    packed = lookup(request->buffer, request->length);
  } catch (const std::exception&) {
    packed = {{}, winsock::WSAENOBUFS, 0};
  }
  Requests& requests = TheRequests();
  std::unique_lock lock(requests.mutex);
  if (!AwaitRelease(requests, lock, *request, delay_ms)) return;
  requests.pending.erase(handle);
  if (packed.error == 0) std::memcpy(request->buffer, packed.bytes.data(), packed.bytes.size());
  // The low word is the bytes used, or needed on WSAENOBUFS; 0 on other errors.
  const std::size_t size =
      packed.error == 0 || packed.error == winsock::WSAENOBUFS ? packed.size : 0;
  winsys::PostMessage(request->window, request->message, handle,
                      winsock::WSAMAKEASYNCREPLY(winsock::WORD(size > 0xFFFF ? 0xFFFF : size),
                                                 winsock::WORD(packed.error)));
}

void RunWorker(Worker& self, winsock::HANDLE handle, const std::shared_ptr<Request>& request,
               const Lookup& lookup, long long delay_ms) {
  Complete(handle, request, lookup, delay_ms);
  Requests& requests = TheRequests();
  std::lock_guard lock(requests.mutex);
  self.done = true;
  requests.worker_done.notify_all();
}

// With the requests' mutex held. A worker marked done takes the mutex no more,
// so joining it here waits only for its thread to end.
void JoinFinishedWorkers(Requests& requests) {
  for (auto worker = requests.workers.begin(); worker != requests.workers.end();) {
    if (!worker->done) {
      ++worker;
      continue;
    }
    worker->thread.join();
    worker = requests.workers.erase(worker);
  }
}

winsock::HANDLE Start(winsys::HWND window, winsock::u_int message, char* buffer, int length,
                      Lookup lookup) {
  if (!buffer || length < 0) return Fail(winsock::WSAEFAULT, winsock::HANDLE{0});
  auto request = std::make_shared<Request>(Request{window, message, buffer, length});
  Requests& requests = TheRequests();
  std::lock_guard lock(requests.mutex);
  JoinFinishedWorkers(requests);
  if (requests.last_handle == 0x7FFFFFFF) return Fail(winsock::WSAENOBUFS, winsock::HANDLE{0});
  const winsock::HANDLE handle = ++requests.last_handle;
  requests.pending.emplace(handle, request);
  Worker& worker = requests.workers.emplace_back();
  try {
    // The worker cannot complete before the lock is released.
    worker.thread = std::thread(RunWorker, std::ref(worker), handle, request, std::move(lookup),
                                requests.delay_ms);
  } catch (const std::system_error&) {
    requests.workers.pop_back();
    requests.pending.erase(handle);
    return Fail(winsock::WSAENOBUFS, winsock::HANDLE{0});
  }
  return handle;
}

std::optional<std::string> OptionalText(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

}  // namespace

winsock::HANDLE GetHostByName(winsys::HWND window, winsock::u_int message, const char* name,
                              char* buffer, int length) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::HANDLE{0});
  if (!name) return Fail(winsock::WSAEFAULT, winsock::HANDLE{0});
  return Start(window, message, buffer, length,
               [name = std::string(name)](char* destination, int capacity) {
                 HostEntry entry;
                 if (int error = FindHostByName(name, entry)) return PackedEntry{{}, error, 0};
                 return PackHost(entry, destination, capacity);
               });
}

winsock::HANDLE GetHostByAddr(winsys::HWND window, winsock::u_int message, const char* address,
                              int address_length, int type, char* buffer, int length) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::HANDLE{0});
  std::uint32_t wanted;
  if (!address || address_length != int(sizeof wanted)) {
    return Fail(winsock::WSAEFAULT, winsock::HANDLE{0});
  }
  if (type != kWinsockInet) return Fail(winsock::WSAEAFNOSUPPORT, winsock::HANDLE{0});
  std::memcpy(&wanted, address, sizeof wanted);
  return Start(window, message, buffer, length, [wanted](char* destination, int capacity) {
    HostEntry entry;
    if (int error = FindHostByAddress(wanted, entry)) return PackedEntry{{}, error, 0};
    return PackHost(entry, destination, capacity);
  });
}

winsock::HANDLE GetServByName(winsys::HWND window, winsock::u_int message, const char* name,
                              const char* protocol, char* buffer, int length) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::HANDLE{0});
  if (!name) return Fail(winsock::WSAEFAULT, winsock::HANDLE{0});
  return Start(window, message, buffer, length,
               [name = std::string(name), protocol = OptionalText(protocol)](char* destination,
                                                                             int capacity) {
                 ServiceEntry entry;
                 if (int error = FindServiceByName(name, protocol, entry)) {
                   return PackedEntry{{}, error, 0};
                 }
                 return PackService(entry, destination, capacity);
               });
}

winsock::HANDLE GetServByPort(winsys::HWND window, winsock::u_int message, int port,
                              const char* protocol, char* buffer, int length) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::HANDLE{0});
  // The port comes in network order in the low 16 bits.
  const auto wanted = std::uint16_t(port & 0xFFFF);
  return Start(window, message, buffer, length,
               [wanted, protocol = OptionalText(protocol)](char* destination, int capacity) {
                 ServiceEntry entry;
                 if (int error = FindServiceByPort(wanted, protocol, entry)) {
                   return PackedEntry{{}, error, 0};
                 }
                 return PackService(entry, destination, capacity);
               });
}

winsock::HANDLE GetAddrInfoAsync(winsys::HWND window, winsock::u_int message, const char* node,
                                 const char* service, const winsock::ADDRINFOA* hints, char* buffer,
                                 int length) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::HANDLE{0});
  AddressQuery query;
  if (int error = ReadHints(hints, query.hints)) return Fail(error, winsock::HANDLE{0});
  if (!node && !service) return Fail(winsock::WSAHOST_NOT_FOUND, winsock::HANDLE{0});
  if (node) query.node = node;
  if (service) query.service = service;
  const int flags = hints ? hints->ai_flags : 0;
  return Start(window, message, buffer, length,
               [query = std::move(query), flags](char* destination, int capacity) {
                 ResolvedList list;
                 if (int error = FindAddresses(query, list)) return PackedEntry{{}, error, 0};
                 return PackAddrInfo(list, flags, destination, capacity);
               });
}

int CancelAsyncRequest(winsock::HANDLE handle) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::SOCKET_ERROR);
  Requests& requests = TheRequests();
  std::lock_guard lock(requests.mutex);
  auto found = requests.pending.find(handle);
  if (found == requests.pending.end()) {
    const bool issued = handle != 0 && handle <= requests.last_handle;
    return Fail(issued ? winsock::WSAEALREADY : winsock::WSAEINVAL, winsock::SOCKET_ERROR);
  }
  found->second->cancelled = true;
  requests.pending.erase(found);
  requests.cancelled.notify_all();
  return 0;
}

void CancelAllLookups() {
  Requests& requests = TheRequests();
  std::unique_lock lock(requests.mutex);
  for (auto& [handle, request] : requests.pending) request->cancelled = true;
  requests.pending.clear();
  requests.cancelled.notify_all();
  // Cancelled, the workers end at once, unless the resolver still holds one.
  requests.worker_done.wait_for(lock, kWorkerGrace, [&] {
    for (const Worker& worker : requests.workers) {
      if (!worker.done) return false;
    }
    return true;
  });
  JoinFinishedWorkers(requests);
}

void ReadLookupDelay() {
  const char* setting = std::getenv("WSOCK32_LOOKUP_DELAY_MS");
  long long delay_ms = 0;
  if (setting && std::strcmp(setting, "forever") == 0) {
    delay_ms = kForever;
  } else if (setting && *setting) {
    char* end = nullptr;
    const long long parsed = std::strtoll(setting, &end, 10);
    if (*end == '\0' && parsed > 0) delay_ms = parsed;
  }
  Requests& requests = TheRequests();
  std::lock_guard lock(requests.mutex);
  requests.delay_ms = delay_ms;
}

}  // namespace wsock32
