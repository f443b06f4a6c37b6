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
#include "tests/support/wait_until.h"

namespace wsock32test {

using testsupport::LoopbackSocket;

struct EntryPoints {
#define WSOCK32TEST_POINTER(name, result, params) winsock::name##_fn name = nullptr;
  WINSOCK_ENTRY_POINTS(WSOCK32TEST_POINTER)
  WINSOCK2_ENTRY_POINTS(WSOCK32TEST_POINTER)
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
  static constexpr winsys::UINT kSentinel = 0x7FFF;
  static constexpr long kStreamEvents =
      winsock::FD_READ | winsock::FD_WRITE | winsock::FD_CONNECT | winsock::FD_CLOSE;

  void SetUp() override;
  void TearDown() override {
    for (const winsock::SOCKET s : opened) ws.closesocket(s);
    ws.WSACleanup();
    winsys::DeallocateHWnd(window);
  }

  // A socket of the library, closed after the test.
  winsock::SOCKET Open(int type = winsock::SOCK_STREAM) {
    const winsock::SOCKET s = ws.socket(winsock::AF_INET, type, 0);
    EXPECT_NE(s, winsock::INVALID_SOCKET);
    opened.push_back(s);
    return s;
  }
  // Registers `events` and starts a connect to 127.0.0.1:`port`.
  winsock::SOCKET ConnectTo(std::uint16_t port, long events = kStreamEvents);
  winsock::sockaddr_in Loopback(std::uint16_t port) const;
  // Binds `s` to 127.0.0.1 and a free port, and gives the address it got.
  winsock::sockaddr_in Bind(winsock::SOCKET s) {
    winsock::sockaddr_in address = Loopback(0);
    auto* name = reinterpret_cast<winsock::sockaddr*>(&address);
    int length = sizeof address;
    EXPECT_EQ(ws.bind(s, name, length), 0);
    EXPECT_EQ(ws.getsockname(s, name, &length), 0);
    return address;
  }
  // A library socket connected to `peer`, its connect notification in.
  winsock::SOCKET Connected(long events = kStreamEvents) {
    const winsock::SOCKET s = ConnectTo(listener.Port(), events);
    peer = listener.Accept();
    EXPECT_TRUE(peer.Valid());
    EXPECT_TRUE(WaitForEvent(s, winsock::FD_CONNECT));
    return s;
  }
  // What one recv of at most `length` bytes gives.
  std::string Recv(winsock::SOCKET s, int length) {
    std::string data(std::size_t(length), '\0');
    const int count = ws.recv(s, data.data(), length, 0);
    data.resize(count > 0 ? std::size_t(count) : 0);
    return data;
  }

  // The notifications of `wparam` (a socket or a request handle), in order.
  std::vector<Note> NotesOf(winsys::UINT msg, winsys::WPARAM wparam) const;
  std::vector<Note> EventsOf(winsock::SOCKET s) const { return NotesOf(kSelect, s); }
  int Count(winsock::SOCKET s, long event) const {
    int count = 0;
    for (const Note& note : EventsOf(s)) count += note.low == event;
    return count;
  }
  bool WaitForEvent(winsock::SOCKET s, long event, int count = 1) {
    return testsupport::WaitUntil([&] { return Count(s, event) >= count; });
  }
  // Lets the loop look at every socket once more, then makes sure everything
  // posted so far has arrived: what has not come by then is not coming.
  void Settle();
  std::uint32_t Waiting(winsock::SOCKET s) const {
    winsock::u_long count = 0;
    EXPECT_EQ(ws.ioctlsocket(s, winsock::FIONREAD, &count), 0);
    return count;
  }

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
