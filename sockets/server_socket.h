// TCustomBasicServerSocket: the socket control of a TCP server. Its own socket
// object listens; every incoming connection gets a socket object of the
// control's socket class, held in Connections, fed with that connection's
// notifications and freed once the connection has closed. A connection is
// offered to the application only after the connection limit, the optional
// reverse look-up of the peer and the address filter have let it through.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sockets/async_options.h"
#include "sockets/server_events.h"
#include "sockets/sock_ctrl.h"
#include "sockets/socket_list.h"

namespace sockets {

class TCustomBasicServerSocket : public TSockCtrl, public TServerSocketEvents {
 public:
  // FilterMode value with which the filter lists the refused peers; with any
  // other value it lists the only peers admitted.
  static constexpr std::uint8_t kFilterRefusesListed = 1;

  explicit TCustomBasicServerSocket(TComponent* AOwner);
  // Frees every connection's socket object, then the control.
  ~TCustomBasicServerSocket() override;

  // The accepted connections, in order of acceptance. A connection leaves the
  // list when its close notice is handled, not inside its Close.
  const TSocketList& Connections() const { return Connections_; }

  // Most connections held at once; one more is refused.
  std::int32_t MaxConnections() const { return MaxConnections_; }
  void SetMaxConnections(std::int32_t Value) { MaxConnections_ = Value; }
  // The readiness notifications every accepted connection asks for.
  TAsyncOptions Options() const { return Options_; }
  void SetOptions(TAsyncOptions Value) { Options_ = Value; }
  // Dotted-address or host-name patterns, one per entry: parts between dots,
  // "*" for any one part; an entry with fewer parts matches by its prefix.
  const std::vector<std::string>& AddressFilter() const { return AddressFilter_; }
  void SetAddressFilter(std::vector<std::string> Value) { AddressFilter_ = std::move(Value); }
  std::uint8_t FilterMode() const { return FilterMode_; }
  void SetFilterMode(std::uint8_t Value) { FilterMode_ = Value; }
  // Every peer must have a host name in the reverse look-up.
  bool LookupPeerName() const { return LookupPeerName_; }
  void SetLookupPeerName(bool Value) { LookupPeerName_ = Value; }

  // Starts listening with a socket object of SocketClass on HostName or
  // DottedAddress and ServiceName or PortNumber; port 0 lets the library choose
  // and leaves its choice in PortNumber and Port. ESockError "Socket Already
  // opened" while listening; look-up, bind and listen errors propagate.
  void Open(TSocketClass SocketClass);
  // Stops listening; the connections stay open.
  void Close();
  // The socket that Open opened is still open.
  bool Listening() const;

  void SelectEvent(TMessage& Message) override;
  // Frees a closed connection whose close notice this is. Notifications held
  // back for the control's other sockets stay queued.
  void SocketClosed(TSocketBase* Socket) override;
  // Only for a connected socket: the peer closed it.
  void SocketDisconnected(TSocketBase*& Socket) override;
  // Takes one pending connection; Socket receives its socket object, or none
  // when the accept failed or a handler freed it.
  virtual void AcceptConnection(TSocketBase*& Socket);
  // OnReject, then closes the connection without reading what it sent.
  virtual void RejectConnection(TSocketBase*& Socket);
  // Whether the dotted peer address matches an entry of AddressFilter. A
  // host-name entry looks the peer's name up; its failures propagate.
  virtual bool AddressMatches(const std::string& Address);

 private:
  enum class TNotifiedSockets { kConnections, kOwnSocket, kNone };

  // Which socket a readiness notification is for, by the socket class.
  TNotifiedSockets NotifiedSockets();
  TSocketBase* FindConnection(winsock::SOCKET Handle) const;
  // Closes a connection that is refused: what the peer sent is never read.
  void CloseRefused(TSocketBase* Socket);
  bool EntryMatches(const std::string& Entry, const std::string& Address);

  TSocketList Connections_;
  std::int32_t MaxConnections_ = 16;
  TAsyncOptions Options_{csoRead, csoWrite};
  std::vector<std::string> AddressFilter_;
  std::uint8_t FilterMode_ = kFilterRefusesListed;
  bool LookupPeerName_ = false;

  // The handle Open left listening.
  winsock::SOCKET listening_handle_ = winsock::INVALID_SOCKET;
  // The socket class NotifiedSockets last looked at, and its answer.
  TSocketClass notified_class_;
  TNotifiedSockets notified_sockets_ = TNotifiedSockets::kNone;
  // Connections taken off the list, each freed by a release notice posted behind
  // the close notices it may still have queued: until then no new object can
  // take its address and be mistaken for it.
  std::deque<std::unique_ptr<TSocketBase>> released_;
};

}  // namespace sockets
