// Fixture of the server component's and the datagram socket's tests: a server
// that logs its events in order; peers are the client fixture's clients or
// plain loopback sockets.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sockets/datagram_socket.h"
#include "sockets/server_socket.h"
#include "tests/sockets/client_fixture.h"
#include "tests/support/loopback_socket.h"

namespace sockets_test {

using sockets::TCustomBasicServerSocket;
using testsupport::ConnectLoopback;
using testsupport::SocketFd;

inline const sockets::TSocketClass kDatagram =
    sockets::TSocketClass::Of<sockets::TDatagramSocket>();

class LoggingServer : public TCustomBasicServerSocket {
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

inline bool SendText(const SocketFd& peer, std::string_view text) {
  return testsupport::SendAll(peer.Get(), text,
                              testsupport::Clock::now() + std::chrono::seconds(5));
}

class ServerTest : public ClientTest {};
class StalledServerLookupTest : public StalledLookupTest {};

}  // namespace sockets_test
