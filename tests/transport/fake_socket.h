// Buffered and line sockets over a scripted connection instead of a network, and
// a record of the events they raise.
#pragma once

#include <algorithm>
#include <climits>
#include <deque>
#include <string>
#include <vector>

#include "sockets/component.h"
#include "sockets/sock_error.h"
#include "tests/support/outcome.h"
#include "transport/text_client.h"

namespace transport_test {

using testsupport::Outcome;

// The owner of every fake socket: a text client being designed, so that it has
// no window and starts no library. It lives as long as the test program.
inline transport::TTextClient& DesignOwner() {
  static sockets::TComponent designer(nullptr);
  static auto* owner = [] {
    designer.SetDesigning(true);
    return new transport::TTextClient(&designer);
  }();
  return *owner;
}

// The bytes of every chunk in `chunks`.
inline std::uint32_t BytesIn(const std::deque<std::string>& chunks) {
  std::uint32_t bytes = 0;
  for (const std::string& chunk : chunks) bytes += std::uint32_t(chunk.size());
  return bytes;
}

// Receives up to `count` bytes from the first chunk of `chunks` only, as a network
// delivers one segment at a time.
inline int TakeFromFirst(std::deque<std::string>& chunks, void* buffer, int count) {
  std::string& chunk = chunks.front();
  count = std::min(count, int(chunk.size()));
  chunk.copy(static_cast<char*>(buffer), std::size_t(count));
  chunk.erase(0, std::size_t(count));
  if (chunk.empty()) chunks.pop_front();
  return count;
}

// A connected socket of `Base` whose handle is a placeholder: it lets the checked
// send and receive through to the scripted calls beneath them, and never reaches
// the library, which is not started; a close does only what a closed handle tells.
template <typename Base>
class Scripted : public Base {
 public:
  Scripted() : Base(&DesignOwner()) {
    this->AdoptHandle(kPlaceholderHandle);
    this->SetState(sockets::ssConnected);
  }
  ~Scripted() override { this->AdoptHandle(winsock::INVALID_SOCKET); }
  void Close() override {
    this->AdoptHandle(winsock::INVALID_SOCKET);
    Base::Close();
    this->SetState(sockets::ssClosed);
  }

 private:
  static constexpr winsock::SOCKET kPlaceholderHandle = 0x7fff0000;
};

// Each receive takes from the first chunk of `incoming`; kReset there fails the
// receive as a reset by the peer. Sends collect in `sent` until `send_room` is used up.
template <typename Base>
class Fake : public Scripted<Base> {
 public:
  static constexpr const char* kReset = "<reset>";

  std::deque<std::string> incoming;
  std::string sent;
  int send_room = INT_MAX;
  bool reset_on_send = false;

  // What waits on the scripted connection.
  std::uint32_t StreamPendingForTest() { return StreamPending(); }

 protected:
  int LibrarySend(const void* buffer, int count, const winsock::sockaddr_in*) override {
    if (reset_on_send) Reset();
    count = std::min(count, send_room);
    send_room -= count;
    sent.append(static_cast<const char*>(buffer), std::size_t(count));
    return count;
  }
  int LibraryRecv(void* buffer, int count, winsock::sockaddr_in*, int*) override {
    if (incoming.empty()) return 0;
    if (incoming.front() == kReset) Reset();
    return TakeFromFirst(incoming, buffer, count);
  }
  std::uint32_t StreamPending() override { return BytesIn(incoming); }

 private:
  [[noreturn]] void Reset() {
    this->SetLastError(10054);
    throw sockets::ESockError("reset");
  }
};

using FakeBuffered = Fake<transport::TBufferedSocketBase>;
using FakeLine = Fake<transport::TLineSocket>;

// Names every buffer event in `log` as it is raised.
inline void LogBufferEvents(transport::TBufferedSocketBase& socket, std::vector<std::string>& log) {
  const auto note = [&log](const char* name) {
    return [&log, name](transport::TBufferedSocketBase&) { log.emplace_back(name); };
  };
  socket.OnReadBufferEmpty = note("read empty");
  socket.OnReadBufferFull = note("read full");
  socket.OnReadBufferChange = note("read change");
  socket.OnWriteBufferEmpty = note("write empty");
  socket.OnWriteBufferFull = note("write full");
  socket.OnWriteBufferChange = note("write change");
  socket.OnFileSent = note("file sent");
  socket.OnFileReceived = note("file received");
}

}  // namespace transport_test
