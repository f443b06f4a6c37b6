// The socket library as the program loads it (dlopen from the directory of the
// running executable, every entry point found with dlsym), and a fixture: the
// library started, a window that records every message it gets, the waits the
// notification tests need, and plain loopback peers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/winsys/winsys.h"
#include "platform/wsock32/winsock.h"
#include "tests/support/loopback_socket.h"

namespace wsock32test {

using testsupport::LoopbackSocket;

struct EntryPoints {
#define WSOCK32TEST_POINTER(name, result, params) winsock::name##_fn name = nullptr;
  WINSOCK_ENTRY_POINTS(WSOCK32TEST_POINTER)
#undef WSOCK32TEST_POINTER
};

std::string LibraryPath();
void* LibraryHandle();
// Loaded once per process; aborts the test run when the library or an entry
// point is missing.
const EntryPoints& Winsock();

// One notification: the event (or buffer length) and the error of its lParam.
struct Note {
  int low;
  int error;
  bool operator==(const Note&) const = default;
};
void PrintTo(const Note& note, std::ostream* out);

class WinsockTest : public testing::Test {
 protected:
  static constexpr winsys::UINT kSelect = 2135;
  static constexpr winsys::UINT kLookup = 2138;
  static constexpr long kStreamEvents =
      winsock::FD_READ | winsock::FD_WRITE | winsock::FD_CONNECT | winsock::FD_CLOSE;

  void SetUp() override;
  void TearDown() override;

  // A socket of the library, closed after the test.
  winsock::SOCKET Open(int type = winsock::SOCK_STREAM);
  // Registers `events` and starts a connect to 127.0.0.1:`port`.
  winsock::SOCKET ConnectTo(std::uint16_t port, long events = kStreamEvents);
  winsock::sockaddr_in Loopback(std::uint16_t port) const;
  // A library socket connected to `peer`, its connect notification in.
  winsock::SOCKET Connected(long events = kStreamEvents);
  // What one recv of at most `length` bytes gives.
  std::string Recv(winsock::SOCKET s, int length);

  // The notifications of `wparam` (a socket or a request handle), in order.
  std::vector<Note> NotesOf(winsys::UINT msg, winsys::WPARAM wparam) const;
  std::vector<Note> EventsOf(winsock::SOCKET s) const { return NotesOf(kSelect, s); }
  int Count(winsock::SOCKET s, long event) const;
  bool WaitForEvent(winsock::SOCKET s, long event, int count = 1);
  // Lets the loop look at every socket once more, then makes sure everything
  // posted so far has arrived: what has not come by then is not coming.
  void Settle();
  std::uint32_t Waiting(winsock::SOCKET s) const;

  const EntryPoints& ws = Winsock();
  winsys::HWND window = 0;
  std::vector<winsock::SOCKET> opened;
  LoopbackSocket listener = LoopbackSocket::Listen();
  LoopbackSocket peer;

 private:
  struct Message {
    winsys::UINT msg;
    winsys::WPARAM wparam;
    winsys::LPARAM lparam;
  };
  std::vector<Message> messages_;
  int sentinels_ = 0;
};

}  // namespace wsock32test
