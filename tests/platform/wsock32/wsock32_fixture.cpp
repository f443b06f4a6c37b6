// Loading libwsock32.so from beside the test executable, and the notification
// tests' fixture.
#include "tests/platform/wsock32/wsock32_fixture.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <filesystem>
#include <ostream>

namespace wsock32test {

std::string LibraryPath() {
  const auto directory = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  return (directory / "libwsock32.so").string();
}

void* LibraryHandle() {
  // Local binding, as the program's loader does: the library's names stay out
  // of the process's global lookup.
  static void* handle = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    ADD_FAILURE() << "cannot load " << LibraryPath() << ": " << dlerror();
    std::abort();
  }
  return handle;
}

const EntryPoints& Winsock() {
  static const EntryPoints entry_points = [] {
    EntryPoints found;
#define WSOCK32TEST_RESOLVE(name, result, params)                                   \
  found.name = reinterpret_cast<winsock::name##_fn>(dlsym(LibraryHandle(), #name)); \
  if (!found.name) {                                                                \
    ADD_FAILURE() << "missing entry point " #name;                                  \
    std::abort();                                                                   \
  }
    WINSOCK_ENTRY_POINTS(WSOCK32TEST_RESOLVE)
    WINSOCK2_ENTRY_POINTS(WSOCK32TEST_RESOLVE)
#undef WSOCK32TEST_RESOLVE
    return found;
  }();
  return entry_points;
}

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

void WinsockTest::Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  const int expected = sentinels_ + 1;
  ASSERT_TRUE(winsys::PostMessage(window, kSentinel, 0, 0));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return sentinels_ == expected; }));
}

}  // namespace wsock32test
