// A scripted IRC server for exact test cases: it listens on 127.0.0.1 (or ::1), serves one
// client at a time on a thread of its own, sends exactly the bytes a test gives it
// and collects the lines the client writes.
//
// The blocking waits suit clients that do not need the test thread (a plain socket).
// A client that lives on the test thread's event loop needs that loop running while
// the test waits: use the non-blocking accessors with testsupport::WaitUntil, e.g.
//   ASSERT_TRUE(WaitUntil([&] { return server.HasLine(); }));
//   EXPECT_EQ(server.TakeLine(), "NICK Tolvex");
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "tests/support/loopback_socket.h"

namespace testsupport {

class ScriptedServer {
 public:
  // Listens on a free port of 127.0.0.1 (or ::1); throws std::runtime_error when it cannot.
  explicit ScriptedServer(bool on_ipv6_loopback = false);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  std::uint16_t Port() const { return listener_.Port(); }
  // A port of 127.0.0.1 where nothing listens while the test program runs.
  static std::uint16_t RefusedPort();

  // Connection state. The server accepts the next client only once the current one
  // has gone, so a reconnect shows as ClientsAccepted() going up.
  bool HasClient() const;
  std::size_t ClientsAccepted() const;
  bool WaitForClient(int timeout_ms = 5000) const { return WaitForClientState(true, timeout_ms); }
  bool WaitForNoClient(int timeout_ms = 5000) const {
    return WaitForClientState(false, timeout_ms);
  }

  // Exactly these bytes, as one send (a test splits the stream where it wants by
  // calling Send more than once). False when no client is there to take them.
  bool Send(std::string_view bytes);
  bool SendLine(std::string_view line) { return Send(std::string(line) + "\r\n"); }

  // The lines the client wrote, each cut at CR LF (a lone CR or LF stays inside its
  // line; bytes without CR LF when the client leaves are dropped). TakeLine hands
  // out each line once, in order, across reconnects.
  bool HasLine() const;
  std::optional<std::string> TakeLine();

  // Ends the current client's connection: gracefully (the client reads the end of
  // the stream) or abortively (the client sees a connection reset). False when
  // there was no client.
  bool CloseClient() { return EndClient(Ending::kClose); }
  bool ResetClient() { return EndClient(Ending::kReset); }

 private:
  enum class Ending { kNone, kClose, kReset };

  bool WaitForClientState(bool connected, int timeout_ms) const;
  void Serve();
  void ReadFromClient();
  void DropClient(Ending how);  // with mutex_ held
  bool EndClient(Ending how);

  LoopbackSocket listener_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  LoopbackSocket client_;
  std::string partial_line_;
  std::deque<std::string> untaken_;
  std::size_t clients_accepted_ = 0;
  Ending requested_ending_ = Ending::kNone;
  bool stopping_ = false;

  std::thread thread_;
};

}  // namespace testsupport
