// The notification tests' fixture.
#include "tests/platform/wsock32/wsock32_fixture.h"

#include <QCoreApplication>

#include <ostream>

#include "tests/support/wait_until.h"

namespace wsock32test {
namespace {

constexpr winsys::UINT kSentinel = 0x7FFF;

}  // namespace

void PrintTo(const Note& note, std::ostream* out) {
  *out << "{" << note.low << ", " << note.error << "}";
}

void WinsockTest::SetUp() {
  winsock::WSADATA data;
  ASSERT_EQ(ws.WSAStartup(0x0101, &data), 0);
  window = winsys::AllocateHWnd([this](winsys::HWND, winsys::UINT msg, winsys::WPARAM wparam,
                                       winsys::LPARAM lparam) -> winsys::LRESULT {
    if (msg == kSentinel) {
      ++sentinels_;
    } else {
      messages_.push_back({msg, wparam, lparam});
    }
    return 0;
  });
}

void WinsockTest::TearDown() {
  for (const winsock::SOCKET s : opened) ws.closesocket(s);
  ws.WSACleanup();
  winsys::DeallocateHWnd(window);
}

winsock::SOCKET WinsockTest::Open(int type) {
  const winsock::SOCKET s = ws.socket(winsock::AF_INET, type, 0);
  EXPECT_NE(s, winsock::INVALID_SOCKET);
  opened.push_back(s);
  return s;
}

winsock::sockaddr_in WinsockTest::Loopback(std::uint16_t port) const {
  winsock::sockaddr_in address{};
  address.sin_family = winsock::AF_INET;
  address.sin_port = ws.htons(port);
  address.sin_addr.s_addr = ws.inet_addr("127.0.0.1");
  return address;
}

winsock::SOCKET WinsockTest::ConnectTo(std::uint16_t port, long events) {
  const winsock::SOCKET s = Open();
  EXPECT_EQ(ws.WSAAsyncSelect(s, window, kSelect, events), 0);
  const winsock::sockaddr_in peer = Loopback(port);
  EXPECT_EQ(ws.connect(s, reinterpret_cast<const winsock::sockaddr*>(&peer), sizeof peer),
            winsock::SOCKET_ERROR);
  EXPECT_EQ(ws.WSAGetLastError(), winsock::WSAEWOULDBLOCK);
  return s;
}

std::vector<Note> WinsockTest::NotesOf(winsys::UINT msg, winsys::WPARAM wparam) const {
  std::vector<Note> notes;
  for (const Message& message : messages_) {
    if (message.msg == msg && message.wparam == wparam) {
      notes.push_back(
          {winsock::WSAGETSELECTEVENT(message.lparam), winsock::WSAGETSELECTERROR(message.lparam)});
    }
  }
  return notes;
}

int WinsockTest::Count(winsock::SOCKET s, long event) const {
  int count = 0;
  for (const Note& note : EventsOf(s)) count += note.low == event;
  return count;
}

bool WinsockTest::WaitForEvent(winsock::SOCKET s, long event, int count) {
  return testsupport::WaitUntil([&] { return Count(s, event) >= count; });
}

void WinsockTest::Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  const int expected = sentinels_ + 1;
  ASSERT_TRUE(winsys::PostMessage(window, kSentinel, 0, 0));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return sentinels_ == expected; }));
}

std::uint32_t WinsockTest::Waiting(winsock::SOCKET s) const {
  winsock::u_long count = 0;
  EXPECT_EQ(ws.ioctlsocket(s, winsock::FIONREAD, &count), 0);
  return count;
}

}  // namespace wsock32test
