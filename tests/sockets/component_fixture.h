// Fixture of the socket components' tests on loopback: a client and a server that
// log their events in order, the application's exception handler captured, and
// look-ups that never complete where a test needs a wait that only it ends.
// Peers are plain loopback sockets or other components.
#pragma once

#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/winsys/winsys.h"
#include "sockets/client_socket.h"
#include "sockets/datagram_socket.h"
#include "sockets/server_socket.h"
#include "sockets/socket_base.h"
#include "sockets/stream_socket.h"
#include "tests/support/loopback_socket.h"
#include "tests/support/outcome.h"
#include "tests/support/wait_until.h"

namespace sockets_test {

using sockets::TSockCtrl;
using sockets::TSocketBase;
using testsupport::LoopbackSocket;
using testsupport::Outcome;
using testsupport::WaitUntil;

using Log = std::vector<std::string>;

inline const sockets::TSocketClass kStream = sockets::TSocketClass::Of<sockets::TStreamSocket>();
inline const sockets::TSocketClass kDatagram =
    sockets::TSocketClass::Of<sockets::TDatagramSocket>();

// A socket class of the tests' own, to replace the stream socket with.
class OtherSocket : public sockets::TStreamSocket {
  using TStreamSocket::TStreamSocket;
};

class LoggingClient : public sockets::TCustomClientSocket {
 public:
  LoggingClient() : TCustomClientSocket(nullptr) {
    OnInfo = [this](TSockCtrl&, sockets::TSockInfo code, TSocketBase*) {
      log.emplace_back(sockets::SockInfoText[code]);
    };
    OnConnect = [this](TSockCtrl&, TSocketBase* socket) {
      log.push_back(socket->Connected() ? "OnConnect connected" : "OnConnect failed");
    };
    OnDisconnect = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnDisconnect"); };
    OnWrite = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnWrite"); };
  }

  long Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
  // Connects to 127.0.0.1 without any look-up.
  void OpenTo(std::uint16_t port) {
    SetAddress("127.0.0.1");
    StoreListeningPort(port);
    Open(kStream);
  }

  void SelectEvent(sockets::TMessage& message) override {
    ++select_events;
    TCustomClientSocket::SelectEvent(message);
  }
  void SocketClosed(TSocketBase* socket) override {
    ++closed_notices;
    TCustomClientSocket::SocketClosed(socket);
  }

  Log log;
  int select_events = 0;
  int closed_notices = 0;
};

class LoggingServer : public sockets::TCustomBasicServerSocket {
 public:
  LoggingServer() : TCustomBasicServerSocket(nullptr) {
    // Notifications still queued for a connection that has closed come as
    // siNoSuchSocket; the log leaves them out.
    OnInfo = [this](TSockCtrl&, sockets::TSockInfo code, TSocketBase*) {
      if (code == sockets::siNoSuchSocket) return;
      log.emplace_back(sockets::SockInfoText[code]);
      if (code == sockets::siClosed) held_at_close.push_back(Connections().Count());
    };
    OnAccept = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnAccept"); };
    OnReject = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnReject"); };
  }

  // Listens on 127.0.0.1 at a port of the library's choice; the log starts
  // empty afterwards.
  void OpenOnLoopback(sockets::TSocketClass socket_class = kStream) {
    SetAddress("127.0.0.1");
    StoreListeningPort(0);
    Open(socket_class);
    log.clear();
  }
  long Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
  sockets::TDatagramSocket& Datagrams() {
    return dynamic_cast<sockets::TDatagramSocket&>(*GetSocket());
  }

  Log log;
  // How many connections were held whenever a socket reported siClosed.
  std::vector<std::size_t> held_at_close;
};

// Failures that reach the application's exception handler are collected in
// `reported`; a terminate request ends with the test. A listener waits for
// clients.
class ClientTest : public ::testing::Test {
 protected:
  static constexpr const char* kLookupDelay = "WSOCK32_LOOKUP_DELAY_MS";

  void SetUp() override {
    unsetenv(kLookupDelay);
    previous_handler_ = winsys::Application().SetExceptionHandler(
        [this](const std::exception& error) { reported.push_back(error.what()); });
  }
  void TearDown() override {
    winsys::Application().SetExceptionHandler(previous_handler_);
    winsys::Application().ResetTerminated();
    unsetenv(kLookupDelay);
  }

  // Opens `client` to `listener` and waits until it is connected; gives the
  // accepted end.
  LoopbackSocket ConnectToListener(LoggingClient& client) {
    client.OpenTo(listener.Port());
    LoopbackSocket peer = listener.Accept();
    EXPECT_TRUE(WaitUntil([&] { return client.Connected(); }));
    return peer;
  }

  Log reported;
  LoopbackSocket listener = LoopbackSocket::Listen();

 private:
  winsys::TApplication::ExceptionHandler previous_handler_;
};

// Look-ups never complete. The library reads the switch when it starts, that is
// when the first control of a test is created.
class StalledLookupTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    setenv(kLookupDelay, "forever", 1);
  }
};

class ServerTest : public ClientTest {};
class StalledServerLookupTest : public StalledLookupTest {};

// Runs `step` every few milliseconds while the test is inside a call that runs
// the message loop, such as a look-up wait.
class Poll {
 public:
  explicit Poll(std::function<void()> step) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, std::move(step));
    timer_.start();
  }

 private:
  QTimer timer_;
};

}  // namespace sockets_test
