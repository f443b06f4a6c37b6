// Fixture of the server component's and the datagram socket's tests: a server
// that logs its events in order, a socket class that counts its live objects,
// and plain loopback peers.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sockets/datagram_socket.h"
#include "sockets/server_socket.h"
#include "tests/sockets/client_fixture.h"
#include "tests/sockets/peer_stream.h"
#include "tests/support/loopback_socket.h"

namespace sockets_test {

using sockets::TCustomBasicServerSocket;
using testsupport::ConnectLoopback;
using testsupport::SocketFd;

inline const sockets::TSocketClass kDatagram =
    sockets::TSocketClass::Of<sockets::TDatagramSocket>();

// A stream socket class whose live objects are counted.
class CountedSocket : public sockets::TStreamSocket {
 public:
  explicit CountedSocket(TSockCtrl* owner) : TStreamSocket(owner) { ++live; }
  ~CountedSocket() override { --live; }
  static inline int live = 0;
};

class LoggingServer : public TCustomBasicServerSocket {
 public:
  explicit LoggingServer(sockets::TComponent* owner = nullptr) : TCustomBasicServerSocket(owner) {
    // Notifications still queued for a connection that has closed are reported
    // as siNoSuchSocket; the log leaves those out.
    OnInfo = [this](TSockCtrl&, sockets::TSockInfo code, TSocketBase*) {
      if (code == sockets::siNoSuchSocket) return;
      log.emplace_back(sockets::SockInfoText[code]);
      if (code == sockets::siClosed) held_at_close.push_back(Connections().Count());
    };
    OnAccept = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnAccept"); };
    OnReject = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnReject"); };
    OnDisconnect = [this](TSockCtrl&, TSocketBase*) { log.push_back("OnDisconnect"); };
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
  void SocketClosed(TSocketBase* socket) override {
    if (socket != nullptr) ++closed_notices;
    TCustomBasicServerSocket::SocketClosed(socket);
  }

  Log log;
  int closed_notices = 0;
  // The number of connections held whenever a socket reported siClosed.
  std::vector<std::size_t> held_at_close;
};

inline bool SendText(const SocketFd& peer, std::string_view text) {
  return testsupport::SendAll(peer.Get(), text,
                              testsupport::Clock::now() + std::chrono::seconds(5));
}

// The bytes the server has sent once `count` of them are in, or what came
// before the deadline.
inline std::string Arrived(const SocketFd& peer, std::size_t count) {
  std::string arrived;
  testsupport::WaitUntil([&] {
    TakeArrived(peer.Get(), arrived);
    return arrived.size() >= count;
  });
  return arrived;
}

// True once the server has ended or reset the connection, within the deadline.
inline bool ServerEnds(const SocketFd& peer) {
  std::string ignored;
  return testsupport::WaitUntil([&] { return !TakeArrived(peer.Get(), ignored); });
}

class ServerTest : public ClientTest {};
class StalledServerLookupTest : public StalledLookupTest {};

}  // namespace sockets_test
