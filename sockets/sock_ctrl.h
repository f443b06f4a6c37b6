// TSockCtrl: the socket control. Its hidden window receives the socket library's
// notifications and turns them into calls on the socket object and into the
// control's events. It holds the connection settings, creates its socket object
// from its socket class, and waits for look-ups while the message loop runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/winsys/winsys.h"
#include "platform/wsock32/winsock.h"
#include "sockets/address_text.h"
#include "sockets/async_info.h"
#include "sockets/component.h"
#include "sockets/message.h"
#include "sockets/sock_info.h"
#include "sockets/socket_class.h"

namespace sockets {

class TSockCtrl;

// Event types; the control is always the sender.
using TSockInfoEvent = std::function<void(TSockCtrl& Sender, TSockInfo icode, TSocketBase* Socket)>;
using TSocketEvent = std::function<void(TSockCtrl& Sender, TSocketBase* Socket)>;
using TSockeTAsyncEvent = std::function<void(TSockCtrl& Sender, TAsyncInfo& AsyncInfo)>;
using TSockNoteEvent = std::function<void(TSockCtrl& Sender, const std::string& Note)>;

// The families a control's look-ups and connects may use.
enum TAddressFamily : std::uint8_t { afAny, afIPv4Only, afIPv6Only };

class TSockCtrl : public TComponent {
 public:
  // Creates the hidden window and starts the socket library, unless designing;
  // a failure to start propagates. The socket class is TStreamSocket.
  explicit TSockCtrl(TComponent* AOwner);
  // Frees the socket object (which closes its socket) and drops the control's
  // deferred notifications; the last control stops the socket library.
  ~TSockCtrl() override;

  TSockInfoEvent OnInfo;
  TSocketEvent OnDisconnect;
  TSocketEvent OnRead;
  TSocketEvent OnWrite;
  TSocketEvent OnTimeOut;
  TSockeTAsyncEvent OnAsyncComplete;
  // A connect to a host name or an IPv6 address tells of each address it tries
  // and how each attempt ended: "connecting to [::1]:6697", "[::1]:6697:
  // Connection refused; trying 127.0.0.1:6697".
  TSockNoteEvent OnAttempt;

  // The addressing properties. Each setter stores the text as given (cut to 255
  // characters) and derives the settings below from it.
  const std::string& Address() const { return Address_; }
  void SetAddress(std::string_view Value);
  const std::string& Port() const { return Port_; }
  void SetPort(std::string_view Value);
  const std::string& Protocol() const { return Protocol_; }
  void SetProtocol(std::string_view Value);
  // Seconds allowed for a look-up or a connect; 0 means none. Negative gives 0.
  std::int32_t TimeOut() const { return TimeOut_; }
  void SetTimeOut(std::int32_t Value);

  // Which addresses a host name may give; IPv4 only refuses an IPv6 address,
  // IPv6 only a dotted one. Any by default.
  TAddressFamily AddressFamily() const { return AddressFamily_; }
  void SetAddressFamily(TAddressFamily Value) { AddressFamily_ = Value; }

  // Derived from Address: one of the two is empty. An IPv6 address is a host
  // name here, without its brackets: its look-up reads it.
  const std::string& HostName() const { return HostName_; }
  const std::string& DottedAddress() const { return DottedAddress_; }
  // Derived from Port: the service to look up at connect time, or empty for the
  // port number alone.
  const std::string& ServiceName() const { return ServiceName_; }
  winsock::u_short PortNumber() const { return PortNumber_; }
  // Derived from Protocol: the protocol the service look-ups name.
  std::int32_t ProtocolNumber() const { return ProtocolNumber_; }
  const std::string& ProtocolName() const { return ProtocolName_; }

  TSocketClass SocketClass() const { return SocketClass_; }
  // A different class frees the socket object; either way a socket object of the
  // current class exists afterwards.
  void SetSocketClass(TSocketClass NewClass);
  // The socket object; none until first asked for through GetSocket.
  TSocketBase* Socket() const { return Socket_.get(); }
  TSocketBase* GetSocket();

  winsys::HWND WindowHandle() const { return WindowHandle_; }

  // The last look-up completion that reached the window.
  winsock::HANDLE AsyncHandle() const { return AsyncHandle_; }
  winsock::WORD AsyncError() const { return AsyncError_; }
  winsock::WORD AsyncBufLen() const { return AsyncBufLen_; }

  // Look-ups through the library; each waits in WaitForAsync. A host look-up that
  // fails raises ESockError; a service look-up that fails gives 0 or empty.
  winsock::u_long LookupHost(std::string_view Name);
  std::string LookupHostName(std::string_view DottedText);
  winsock::u_short LookupService(std::string_view Name);
  std::string LookupServiceName(winsock::u_short Port);
  // Every address of a host name (an IPv6 address reads as itself) that the
  // address family allows, in the order a connect tries them, for sockets of
  // SocketType; ESockError when there is none.
  std::vector<TSockAddress> LookupHostAddresses(std::string_view Name, std::int32_t SocketType);

  // The time-out, counted by one timer shared by every control. Only a control
  // with a TimeOut and an OnTimeOut handler ever times out.
  void StartTimeOut();
  void StopTimeOut();
  void ClearTimeOut() { TimeOutCount_ = 0; }
  bool TimedOut() const { return TimedOut_; }
  std::int32_t TimeOutCount() const { return TimeOutCount_; }
  bool InTimerList() const { return InTimerList_; }

  // The request handle, or ESockError with the library's last error when it is
  // 0 (the request did not start).
  winsock::HANDLE CheckAsyncHandle(winsock::HANDLE Handle, int MessageCode);
  winsock::WORD GetMaxUdpDg() const;
  // Where a listening socket leaves the port the library chose: PortNumber and
  // the Port text, without running SetPort.
  void StoreListeningPort(winsock::u_short Port);

  // The virtual operations.
  // The close notice of a socket: deferred notifications of this control are
  // delivered to no one. Socket may be freed already: compare it, never use it.
  virtual void SocketClosed(TSocketBase* Socket);
  virtual void SelectEvent(TMessage& Message) = 0;
  virtual void AsyncEvent(TMessage& Message);
  // Runs the message loop until the look-up Handle completes, the time-out
  // fires, the socket object closes or the application terminates; returns the
  // look-up's error, 0 on success.
  virtual winsock::WORD WaitForAsync(winsock::HANDLE Handle);
  virtual std::unique_ptr<TSocketBase> CreateSocket();
  virtual void SocketDisconnected(TSocketBase*& Socket);
  virtual void SocketInfo(TSocketBase* Socket, TSockInfo Code);
  virtual void SocketRead(TSocketBase*& Socket);
  virtual void SocketWrite(TSocketBase*& Socket);
  virtual void SocketTimeOut(TSocketBase*& Socket);

 protected:
  // Stops the time-out and closes the socket object, which stays for the next
  // open; nothing when there is none. The client's and server's Close.
  void CloseSocketObject();

  // Registered asynchronous requests; nothing registers one yet.
  TAsyncRequests AsyncRequests;

  // The settings' storage. A connect writes the resolved address back into
  // DottedAddress_.
  std::string HostName_;
  std::string DottedAddress_ = "0.0.0.0";
  std::string ServiceName_;
  winsock::u_short PortNumber_ = 0;
  std::string Address_;
  std::string Port_;
  std::int32_t TimeOut_ = 0;
  std::string Protocol_;
  std::int32_t ProtocolNumber_ = 0;
  std::string ProtocolName_;
  TAddressFamily AddressFamily_ = afAny;

 private:
  struct TLookupWait;
  friend void ServeTimedControls();

  // The window procedure: the dispatch of one message.
  winsys::LRESULT Dispatch(winsys::HWND window, TMessage& Message);
  void HandleWindowMessage(TMessage& Message);
  // Keeps the deferred notifications moving: SM_DRAIN to `window`, or, when a
  // handler destroyed that window's control, to a control that still has
  // notifications queued.
  static void PostDrain(winsys::HWND window);
  // Delivers the first deferred notification once no wait is in progress, to
  // the control it was sent to, if that control still wants it. A handler that
  // raises does not stall the rest of the queue.
  static void DrainDeferred(winsys::HWND window);
  void RecordLookupCompletion(const TMessage& Message);
  bool SocketIsClosing(const TLookupWait& wait) const;
  // One second of this control's time-out.
  void TimeOutTick();
  template <typename StartRequest>
  winsock::WORD RunLookup(int message_code, StartRequest start);

  winsys::HWND WindowHandle_ = 0;
  TSocketClass SocketClass_;
  bool TimedOut_ = false;
  TSockCtrl* TimeOutPrev_ = nullptr;
  TSockCtrl* TimeOutNext_ = nullptr;
  std::int32_t TimeOutCount_ = 0;
  bool InTimerList_ = false;
  std::unique_ptr<TSocketBase> Socket_;
  winsock::HANDLE AsyncHandle_ = 0;
  winsock::WORD AsyncError_ = 0;
  winsock::WORD AsyncBufLen_ = 0;
  // The look-up waits in progress on this control, innermost last.
  std::vector<TLookupWait*> lookup_waits_;
};

}  // namespace sockets
