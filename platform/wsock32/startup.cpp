// Counted start and clean-up, and the description the library gives of itself.
#include "platform/wsock32/startup.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/wsock32/error_state.h"
#include "platform/wsock32/hosts_file.h"
#include "platform/wsock32/lookups.h"
#include "platform/wsock32/socket_calls.h"

namespace wsock32 {
namespace {

constexpr winsock::WORD kVersion = 0x0101;  // 1.1: the major number in the low byte
constexpr char kDescription[] = "Sockets 1.1 interface over POSIX non-blocking sockets";
constexpr char kSystemStatus[] = "Running";

std::mutex start_mutex;
std::atomic<int> start_count{0};

bool IsBelowVersion11(winsock::WORD requested) {
  const int major = requested & 0xFF;
  const int minor = requested >> 8;
  return major < 1 || (major == 1 && minor < 1);
}

void Describe(winsock::WSADATA& data) {
  data = {};
  data.wVersion = kVersion;
  data.wHighVersion = kVersion;
  static_assert(sizeof kDescription <= sizeof data.szDescription);
  static_assert(sizeof kSystemStatus <= sizeof data.szSystemStatus);
  std::memcpy(data.szDescription, kDescription, sizeof kDescription);
  std::memcpy(data.szSystemStatus, kSystemStatus, sizeof kSystemStatus);
  data.iMaxSockets = 32767;
  data.iMaxUdpDg = 65467;
  data.lpVendorInfo = nullptr;
}

}  // namespace

int Startup(winsock::WORD requested, winsock::WSADATA* data) {
  if (!data) return winsock::WSAEFAULT;
  // Filled even on failure, so that a caller learns the version on offer.
  Describe(*data);
  if (IsBelowVersion11(requested)) return winsock::WSAVERNOTSUPPORTED;
  std::lock_guard lock(start_mutex);
  if (start_count == 0) {
    ReadLookupDelay();
    ReadHostsFile();
  }
  ++start_count;
  return 0;
}

int Cleanup() {
  std::lock_guard lock(start_mutex);
  if (start_count == 0) return Fail(winsock::WSANOTINITIALISED, winsock::SOCKET_ERROR);
  if (--start_count == 0) {
    CancelAllLookups();
    ResetAllSockets();
  }
  return 0;
}

bool IsStarted() {
  return start_count > 0;
}

int IsBlocking() {
  return 0;
}

int CancelBlockingCall() {
  // Nothing ever blocks, so there is never a call to cancel.
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::SOCKET_ERROR);
  return Fail(winsock::WSAEINVAL, winsock::SOCKET_ERROR);
}

}  // namespace wsock32
