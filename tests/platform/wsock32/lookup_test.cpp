// The asynchronous look-ups: results packed into the caller's buffer, errors,
// and cancellation.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include "tests/platform/wsock32/wsock32_fixture.h"
#include "tests/support/wait_until.h"

namespace wsock32test {
namespace {

class LookupTest : public WinsockTest {
 protected:
  void TearDown() override {
    WinsockTest::TearDown();
    unsetenv("WSOCK32_LOOKUP_DELAY_MS");
  }

  // Starts the library again with the test switch set to `delay`.
  void RestartWithDelay(const char* delay) {
    ASSERT_EQ(ws.WSACleanup(), 0);
    setenv("WSOCK32_LOOKUP_DELAY_MS", delay, 1);
    winsock::WSADATA data;
    ASSERT_EQ(ws.WSAStartup(0x0101, &data), 0);
  }

  // The completion of `request` as {bytes, error}, or nothing within the wait.
  std::optional<Note> Completion(winsock::HANDLE request) {
    if (!testsupport::WaitUntil([&] { return !NotesOf(kLookup, request).empty(); })) return {};
    const auto notes = NotesOf(kLookup, request);
    EXPECT_EQ(notes.size(), 1u);
    return notes.front();
  }

  // Waits for a successful completion and notes the bytes it used.
  bool Succeeded(winsock::HANDLE request) {
    const auto done = Completion(request);
    if (!done || done->error != 0) return false;
    used = std::size_t(done->low);
    return true;
  }

  // Whether `size` bytes at `pointer` (a whole string when `size` is 0) lie in
  // the part of the buffer that the completion says it used.
  bool Inside(const void* pointer, std::size_t size = 0) const {
    const auto* p = static_cast<const char*>(pointer);
    if (p < buffer || p >= buffer + used) return false;
    return p + (size > 0 ? size : std::strlen(p) + 1) <= buffer + used;
  }

  // The hostent at the buffer's start, every pointer of it checked.
  const winsock::hostent& Host() const {
    const auto& host = *reinterpret_cast<const winsock::hostent*>(buffer);
    EXPECT_TRUE(Inside(&host, sizeof host) && Inside(host.h_name));
    for (char* const* alias = host.h_aliases; Inside(alias, sizeof *alias) && *alias; ++alias) {
      EXPECT_TRUE(Inside(*alias));
    }
    EXPECT_TRUE(Inside(host.h_aliases, sizeof(char*)) &&
                Inside(host.h_addr_list, 2 * sizeof(char*)));
    for (char* const* address = host.h_addr_list; *address; ++address) {
      EXPECT_TRUE(Inside(*address, 4));
    }
    return host;
  }

  const winsock::servent& Service() const {
    const auto& service = *reinterpret_cast<const winsock::servent*>(buffer);
    EXPECT_TRUE(Inside(&service, sizeof service) && Inside(service.s_name) &&
                Inside(service.s_proto) && Inside(service.s_aliases, sizeof(char*)));
    return service;
  }

  std::string FirstAddress(const winsock::hostent& host) const {
    winsock::in_addr address;
    std::memcpy(&address, host.h_addr_list[0], sizeof address);
    return ws.inet_ntoa(address);
  }

  alignas(8) char buffer[winsock::MAXGETHOSTSTRUCT] = {};
  std::size_t used = 0;
};

TEST_F(LookupTest, HostsByNameAndByAddress) {
  ASSERT_TRUE(
      Succeeded(ws.WSAAsyncGetHostByName(window, kLookup, "localhost", buffer, sizeof buffer)));
  const winsock::hostent& by_name = Host();
  EXPECT_EQ(by_name.h_addrtype, winsock::AF_INET);
  EXPECT_EQ(by_name.h_length, 4);
  EXPECT_EQ(FirstAddress(by_name), "127.0.0.1");

  std::memset(buffer, 0, sizeof buffer);
  const winsock::u_long loopback = ws.inet_addr("127.0.0.1");
  ASSERT_TRUE(
      Succeeded(ws.WSAAsyncGetHostByAddr(window, kLookup, reinterpret_cast<const char*>(&loopback),
                                         4, winsock::AF_INET, buffer, sizeof buffer)));
  const winsock::hostent& by_address = Host();
  EXPECT_STREQ(by_address.h_name, "localhost");
  EXPECT_EQ(FirstAddress(by_address), "127.0.0.1");

  EXPECT_EQ(Completion(ws.WSAAsyncGetHostByName(window, kLookup, "no-such-host.invalid", buffer,
                                                sizeof buffer)),
            (Note{0, winsock::WSAHOST_NOT_FOUND}));
}

TEST_F(LookupTest, ServicesByNameAndByPort) {
  ASSERT_TRUE(
      Succeeded(ws.WSAAsyncGetServByName(window, kLookup, "ftp", "tcp", buffer, sizeof buffer)));
  EXPECT_EQ(Service().s_port, short(ws.htons(21)));
  EXPECT_STREQ(Service().s_proto, "tcp");

  std::memset(buffer, 0, sizeof buffer);
  ASSERT_TRUE(Succeeded(
      ws.WSAAsyncGetServByPort(window, kLookup, ws.htons(21), "tcp", buffer, sizeof buffer)));
  EXPECT_STREQ(Service().s_name, "ftp");
}

TEST_F(LookupTest, ASmallBufferGetsTheSizeNeededAndIsNotTouched) {
  std::memset(buffer, '#', sizeof buffer);
  auto done = Completion(ws.WSAAsyncGetHostByName(window, kLookup, "localhost", buffer, 16));
  ASSERT_TRUE(done);
  ASSERT_EQ(done->error, winsock::WSAENOBUFS);
  const int needed = done->low;
  EXPECT_GT(needed, 16);
  EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));

  done = Completion(ws.WSAAsyncGetHostByName(window, kLookup, "localhost", buffer, needed));
  ASSERT_TRUE(done);
  EXPECT_EQ(*done, (Note{needed, 0}));
}

// A request held by the test switch is always still pending when cancelled.
TEST_F(LookupTest, ARequestIsCancelledOnce) {
  RestartWithDelay("forever");
  const auto request =
      ws.WSAAsyncGetHostByName(window, kLookup, "localhost", buffer, sizeof buffer);
  ASSERT_NE(request, 0u);
  EXPECT_EQ(ws.WSACancelAsyncRequest(request), 0);
  EXPECT_EQ(ws.WSACancelAsyncRequest(request), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEALREADY);
  EXPECT_EQ(ws.WSACancelAsyncRequest(request + 1000), winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEINVAL);
}

TEST_F(LookupTest, ACancelThatSucceedsWinsTheRaceWithTheCompletion) {
  // Cancelled at once, a request may or may not have completed already; either
  // way it gets exactly one outcome: a message, or an untouched buffer.
  constexpr int kRequests = 20;
  char buffers[kRequests][256];
  std::memset(buffers, '#', sizeof buffers);
  winsock::HANDLE requests[kRequests];
  bool cancelled[kRequests];
  for (int i = 0; i < kRequests; ++i) {
    requests[i] = ws.WSAAsyncGetHostByName(window, kLookup, "localhost", buffers[i], 256);
    ASSERT_NE(requests[i], 0u);
    cancelled[i] = ws.WSACancelAsyncRequest(requests[i]) == 0;
    if (!cancelled[i]) {
      EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEALREADY);
    }
  }
  for (int i = 0; i < kRequests; ++i) {
    if (!cancelled[i]) {
      EXPECT_TRUE(Completion(requests[i])) << i;
    }
  }
  ASSERT_TRUE(Completion(ws.WSAAsyncGetHostByName(window, kLookup, "localhost", buffer, 256)));
  Settle();
  for (int i = 0; i < kRequests; ++i) {
    if (!cancelled[i]) continue;
    EXPECT_TRUE(NotesOf(kLookup, requests[i]).empty()) << i;
    EXPECT_EQ(std::string(buffers[i], 256), std::string(256, '#')) << i;
  }
}

std::size_t ThreadCount() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return std::size_t(std::distance(begin(tasks), end(tasks)));
}

// No worker outlives the last clean-up, not even one whose completion was
// held: none is left running when the process exits, and none completes.
TEST_F(LookupTest, LastCleanUpDropsPendingRequestsAndLeavesNoWorkerRunning) {
  const std::size_t threads_before = ThreadCount();
  RestartWithDelay("forever");
  constexpr int kRequests = 8;
  char buffers[kRequests][256];
  std::memset(buffers, '#', sizeof buffers);
  winsock::HANDLE requests[kRequests];
  for (int i = 0; i < kRequests; ++i) {
    requests[i] = ws.WSAAsyncGetServByName(window, kLookup, "ftp", "tcp", buffers[i], 256);
    ASSERT_NE(requests[i], 0u);
  }
  EXPECT_EQ(ThreadCount(), threads_before + kRequests);
  RestartWithDelay("0");
  // A joined thread leaves /proc a moment after its join returns.
  EXPECT_TRUE(testsupport::WaitUntil([&] { return ThreadCount() == threads_before; }))
      << ThreadCount() << " threads, " << threads_before << " before";
  ASSERT_TRUE(Completion(ws.WSAAsyncGetServByName(window, kLookup, "ftp", "tcp", buffer, 256)));
  Settle();
  for (int i = 0; i < kRequests; ++i) {
    EXPECT_TRUE(NotesOf(kLookup, requests[i]).empty()) << i;
    EXPECT_EQ(std::string(buffers[i], 256), std::string(256, '#')) << i;
  }
}

}  // namespace
}  // namespace wsock32test
