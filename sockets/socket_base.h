// TSocketBase: one socket handle of the socket library, held for one control.
// It turns notifications into the owner's events and holds the one checked send
// and receive its descendants build on; listening and connecting are theirs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/winsys/winsys.h"
#include "platform/wsock32/winsock.h"
#include "sockets/address_text.h"
#include "sockets/async_options.h"
#include "sockets/liveness.h"
#include "sockets/sock_info.h"

namespace sockets {

class TCustomBasicServerSocket;
class TSockCtrl;

enum TSocketState : std::uint8_t { ssClosed, ssConnected, ssClosing, ssListening };

class TSocketBase {
 public:
  explicit TSocketBase(TSockCtrl* Owner);
  // Closes an open socket without any event or message.
  virtual ~TSocketBase();
  TSocketBase(const TSocketBase&) = delete;
  TSocketBase& operator=(const TSocketBase&) = delete;

  // The error of the last checked call (0 after a successful one), or of the
  // last notification the owner received for this socket.
  std::int32_t LastError() const { return LastError_; }
  void SetLastError(std::int32_t value) { LastError_ = value; }
  // INVALID_SOCKET while no socket is open.
  winsock::SOCKET Handle() const { return Handle_; }
  TSockCtrl* Owner() const { return Owner_; }
  // The local address of a listening socket, the remote one of a connection.
  const winsock::sockaddr_in& Addr() const { return Addr_; }
  // The same in either family: for a connect, the address it tries or reached.
  const TSockAddress& SockAddress() const { return SockAddress_; }
  TSocketState State() const { return State_; }
  void SetState(TSocketState value) { State_ = value; }
  std::int32_t SocketType() const { return SocketType_; }
  bool Connected() const { return GetConnected(); }

  // The checked call: Result -1 takes the library's last error into LastError
  // and raises ESockError for it under MessageCode, unless it is Tolerated (then
  // 0). Any other Result clears LastError and is returned.
  std::intptr_t CheckResult(std::intptr_t Result, int Tolerated, int MessageCode);
  // Fills Addr and SockAddress from a host name or IPv6 address (looked up: the
  // first of its addresses; the dotted text of an IPv4 one goes back into
  // Address, an IPv6 one leaves it empty) or from Address, and their port from
  // a service name (looked up into Port) or from Port. The other addresses of
  // the name wait for TryNextAddress.
  void ResolveAddress(const std::string& HostName, std::string& Address,
                      const std::string& ServiceName, winsock::u_short& Port);
  // The bytes waiting to be read, modulo 65536.
  winsock::u_short BytesAvailable();
  // The socket's local port; 0 without a socket or when the library cannot tell.
  winsock::u_short GetLocalPort();

  // After a connect attempt failed (Why: the error's text) or gave no answer:
  // the next address of the name, on a new handle, noted through OnAttempt.
  // False when none is left: the failure is the caller's to report (unless an
  // OnAttempt handler closed or freed the socket, which ends the connect).
  bool TryNextAddress(const std::string& Why);
  // The connect has ended: no other address takes over any more.
  void StopHandOver();

  TLiveness::TWatch Watch() const { return liveness_.Watch(); }

  // The virtual operations.
  virtual void DoRead();
  virtual void DoWrite();
  virtual void DoAccept();
  virtual void DoConnect();
  // The peer closed: siDisconnected, OnDisconnect, then Close.
  virtual void DoDisconnect();
  virtual void DoInfo(TSockInfo Code);
  virtual void DoTimeOut();
  virtual void DoReject();
  // "socket0", "socket1", ... in the order names are first asked for.
  virtual std::string GetName();
  virtual bool GetConnected() const;
  virtual void SetSocketType(std::int32_t Value);
  virtual int Send(const void* Buffer, int Count) = 0;
  virtual int Recv(void* Buffer, int Count) = 0;
  // Runs after the address is resolved and before bind or connect.
  virtual void PrepareSocket();
  virtual void Listen(std::string HostName, std::string& Address, std::string ServiceName,
                      winsock::u_short Port, int Backlog) = 0;
  virtual void Connect(std::string HostName, std::string& Address, std::string ServiceName,
                       winsock::u_short Port, TAsyncOptions Options) = 0;
  // Lets the owner's OnRead take what is still waiting on a connection, closes
  // the socket, posts SM_CLOSED to the owner and reports siClosed.
  virtual void Close();

 protected:
  // The bytes waiting, uncut.
  winsock::u_long PendingBytes();
  // The input a close still lets the owner read: the bytes waiting, and those a
  // layer over the connection holds back (TLS records).
  virtual winsock::u_long InputWaiting() { return PendingBytes(); }
  // Opens a new handle of SocketType, of the family of SockAddress, in place of
  // none.
  void OpenHandle();
  // Replaces a handle of another family than SockAddress's with a new one; no
  // notification of the old handle reaches anyone.
  void MatchHandleFamily();
  // ResolveAddress for one datagram, keeping only the name's first address of
  // the handle's family; without one, a new handle of the first address's
  // family, unless the handle is bound or connected ("The host has no IPv4
  // address", or IPv6).
  void ResolveDestination(const std::string& HostName, std::string& Address, winsock::u_short Port);

  // Where a stream and a datagram connect differ.
  struct TConnectWay {
    // A failed look-up closes the handle (the one this connect opened).
    bool CloseOnFailedLookUp;
    // The owner's time-out runs from siConnecting on.
    bool TimeOut;
    // A failed or silent attempt gives way to the name's next address.
    bool TryEveryAddress = false;
  };
  // The connect on the handle held: siLookUp, the address, PrepareSocket, the
  // notifications of Options with connect and close, siConnecting, then the
  // library's connect, which may still be under way; a failed one closes the
  // socket and raises. False when a handler on the way closed or freed this
  // socket, which ends the connect there.
  bool StartConnect(const std::string& HostName, std::string& Address,
                    const std::string& ServiceName, winsock::u_short Port, TAsyncOptions Options,
                    TConnectWay Way);
  // A handle opened elsewhere (an accepted connection) becomes this socket's.
  void AdoptHandle(winsock::SOCKET Value) { Handle_ = Value; }

  // The one send: 0 without a handle, on a socket that is not connected (unless
  // To names the destination), and when the library would block; any other
  // failure raises ESockError.
  int CheckedSend(const void* Buffer, int Count, const TSockAddress* To = nullptr);
  // The one receive: "Socket not open" without a handle; 0 at the end of the
  // stream and when the library would block; any other failure raises
  // ESockError. What arrives counts in ReceivedTotal. From and FromLen, when
  // given, receive the sender's address.
  int CheckedRecv(void* Buffer, int Count, winsock::sockaddr_in* From = nullptr,
                  int* FromLen = nullptr);
  // Bytes received through CheckedRecv so far; tells a draining loop whether a
  // pass consumed anything.
  std::uint64_t ReceivedTotal() const { return received_total_; }

  // Beneath the checked calls, the library's own send and receive on the handle,
  // unchecked: tests replace them to run without a network.
  virtual int LibrarySend(const void* Buffer, int Count, const winsock::sockaddr_in* To);
  virtual int LibraryRecv(void* Buffer, int Count, winsock::sockaddr_in* From, int* FromLen);

 private:
  // Accepting a connection fills the new object's handle and peer address.
  friend class TCustomBasicServerSocket;

  void DrainInput();
  void UseAddress(std::size_t Index);
  // The library's connect to SockAddress on the handle held, with the address
  // that follows it timed; false when it failed at once (LastError says why).
  bool ConnectHandle();
  void Note(const std::string& Text);

  std::int32_t LastError_ = 0;
  winsock::SOCKET Handle_ = winsock::INVALID_SOCKET;
  TSockCtrl* Owner_;
  winsock::sockaddr_in Addr_{};
  TSockAddress SockAddress_;
  int HandleFamily_ = winsock::AF_INET;
  // The addresses of the name being connected to, and the one in use.
  std::vector<TSockAddress> Addresses_;
  std::size_t AddressIndex_ = 0;
  // Where the dotted text of the address in use goes (the owner's), and whether
  // attempts are told of: only for a host name or an IPv6 address.
  std::string* AddressOut_ = nullptr;
  bool NoteAttempts_ = false;
  long ConnectEvents_ = 0;
  std::unique_ptr<winsys::TTimer> HandOver_;
  TSocketState State_ = ssClosed;
  std::int32_t SocketType_ = winsock::SOCK_STREAM;
  std::string Name_;
  std::uint64_t received_total_ = 0;
  TLiveness liveness_;
};

}  // namespace sockets
