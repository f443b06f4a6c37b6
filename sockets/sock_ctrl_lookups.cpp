// The name look-ups of a socket control. Each starts an asynchronous
// request of the library and waits for it while the message loop runs; the wait
// itself and the completion it waits for.
#include <cstddef>
#include <cstring>
#include <optional>

#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_base.h"
#include "sockets/socket_messages.h"
#include "sockets/text_helpers.h"
#include "sockets/winsock_unit.h"

namespace sockets {

struct TSockCtrl::TLookupWait {
  winsock::HANDLE Handle;
  // The socket object this wait resolves for, when it had a socket open.
  TSocketBase* Socket;
  TLiveness::TWatch SocketAlive;
  winsock::SOCKET SocketHandle;
  bool Completed = false;
  winsock::WORD Error = 0;
  winsock::WORD BufLen = 0;
};

namespace {

// The code a wait returns when it ends without the completion, because the
// socket closes or the application terminates: the look-up then fails.
constexpr winsock::WORD kWaitEndedEarly = winsock::WSAEINTR;

// The longest names handed to the library.
constexpr std::size_t kMaxNameText = 64;
constexpr std::size_t kMaxProtocolText = 31;
constexpr std::size_t kMaxDottedText = 31;

// The library packs the host or service entry at the start, with everything it
// points to behind it.
struct TLookupBuffer {
  alignas(std::max_align_t) char bytes[winsock::MAXGETHOSTSTRUCT];

  const winsock::hostent& Host() const { return *reinterpret_cast<const winsock::hostent*>(bytes); }
  const winsock::servent& Service() const {
    return *reinterpret_cast<const winsock::servent*>(bytes);
  }
};

std::string Bounded(std::string_view text, std::size_t max) {
  return std::string(text.substr(0, max));
}

}  // namespace

void TSockCtrl::RecordLookupCompletion(const TMessage& Message) {
  AsyncHandle_ = Message.WParam;
  AsyncError_ = winsock::WSAGETASYNCERROR(Message.LParam);
  AsyncBufLen_ = winsock::WSAGETASYNCBUFLEN(Message.LParam);
  // Kept per wait too: a wait nested in another on this control would otherwise
  // overwrite the outer one's completion.
  for (TLookupWait* wait : lookup_waits_) {
    if (wait->Handle != AsyncHandle_) continue;
    wait->Completed = true;
    wait->Error = AsyncError_;
    wait->BufLen = AsyncBufLen_;
  }
}

// The socket object closing ends a wait. So does closing, replacing or freeing
// the socket object that had a socket open when the wait began: the look-up was
// for a connect or listen that no longer exists.
bool TSockCtrl::SocketIsClosing(const TLookupWait& wait) const {
  if (Socket_ && Socket_->State() == ssClosing) return true;
  if (wait.SocketHandle == winsock::INVALID_SOCKET) return false;
  return !wait.SocketAlive || Socket_.get() != wait.Socket ||
         Socket_->Handle() != wait.SocketHandle;
}

winsock::WORD TSockCtrl::WaitForAsync(winsock::HANDLE Handle) {
  const TLiveness::TWatch alive = Watch();
  const winsys::HWND window = WindowHandle_;
  TSocketBase* const socket = Socket_.get();
  TLookupWait wait{Handle, socket, socket ? socket->Watch() : TLiveness::TWatch(),
                   socket ? socket->Handle() : winsock::INVALID_SOCKET};
  ++WaitNesting;
  AsyncHandle_ = 0;
  AsyncError_ = 0;
  AsyncBufLen_ = 0;
  lookup_waits_.push_back(&wait);
  // Leaves the process-wide state as this wait found it; touches nothing of the
  // control, which may be gone.
  const auto leave = [&] {
    if (WaitNesting > 0 && --WaitNesting == 0) PostDrain(window);
  };
  // After a cancel no completion writes into the caller's buffer any more.
  const auto cancel = [Handle] {
    if (WinsockStarted()) WinsockAPI().WSACancelAsyncRequest(Handle);
  };

  bool abort = false;
  while (!wait.Completed && !TimedOut_ && !abort) {
    try {
      // Waits for an event to arrive, unless the wait is ending anyway.
      if (winsys::Application().Terminated() || SocketIsClosing(wait)) {
        winsys::Application().ProcessMessages();
      } else {
        winsys::Application().HandleMessage();
      }
    } catch (...) {
      if (alive) lookup_waits_.pop_back();
      leave();
      cancel();
      throw;
    }
    if (!alive) {
      // A handler destroyed this control: the frames of the operation that
      // waited must not go on either.
      leave();
      cancel();
      throw Exception("Socket control destroyed during a look-up");
    }
    abort = SocketIsClosing(wait) || winsys::Application().Terminated();
    if (abort) {
      TimeOutCount_ = 0;
      cancel();
    }
  }

  lookup_waits_.pop_back();
  leave();
  if (wait.Completed) {
    AsyncHandle_ = Handle;
    AsyncBufLen_ = wait.BufLen;
    AsyncError_ = wait.Error;
  } else if (TimedOut_) {
    AsyncError_ = winsock::WSAETIMEDOUT;
    cancel();
  } else {
    AsyncError_ = kWaitEndedEarly;
  }
  return AsyncError_;
}

template <typename StartRequest>
winsock::WORD TSockCtrl::RunLookup(int message_code, StartRequest start) {
  StartTimeOut();
  // However the look-up ends, its time-out stops, unless the control is gone.
  struct TStopTimeOut {
    TSockCtrl& control;
    TLiveness::TWatch alive;
    ~TStopTimeOut() {
      if (alive) control.StopTimeOut();
    }
  } stop{*this, Watch()};
  return WaitForAsync(CheckAsyncHandle(start(), message_code));
}

winsock::u_long TSockCtrl::LookupHost(std::string_view Name) {
  const std::string name = Bounded(Name, kMaxNameText);
  TLookupBuffer buffer;
  const winsock::WORD error = RunLookup(kMsgCallingGetHostByName, [&] {
    return WinsockAPI().WSAAsyncGetHostByName(WindowHandle_, SM_LOOKUP, name.c_str(), buffer.bytes,
                                              sizeof buffer.bytes);
  });
  if (error != 0) RaiseSockError(error, kMsgFindingHostAddress);
  const winsock::hostent& host = buffer.Host();
  if (host.h_length != 4 || host.h_addr_list == nullptr || host.h_addr_list[0] == nullptr) {
    RaiseSockError(winsock::WSANO_DATA, kMsgFindingHostAddress);
  }
  winsock::u_long address = 0;
  std::memcpy(&address, host.h_addr_list[0], sizeof address);
  return address;
}

std::string TSockCtrl::LookupHostName(std::string_view DottedText) {
  const std::string dotted = Bounded(DottedText, kMaxDottedText);
  const winsock::u_long address = WinsockAPI().inet_addr(dotted.c_str());
  if (address == winsock::INADDR_ANY) RaiseSockError(0, kMsgReverseLookupOfZero);
  TLookupBuffer buffer;
  const winsock::WORD error = RunLookup(kMsgCallingGetHostByAddr, [&] {
    return WinsockAPI().WSAAsyncGetHostByAddr(
        WindowHandle_, SM_LOOKUP, reinterpret_cast<const char*>(&address), sizeof address,
        winsock::AF_INET, buffer.bytes, sizeof buffer.bytes);
  });
  if (error != 0) RaiseSockError(error, kMsgFindingHostForAddress);
  const char* name = buffer.Host().h_name;
  return ShortString(name != nullptr ? name : "");
}

winsock::u_short TSockCtrl::LookupService(std::string_view Name) {
  const std::string name = Bounded(Name, kMaxNameText);
  const std::string protocol = Bounded(ProtocolName_, kMaxProtocolText);
  TLookupBuffer buffer;
  const winsock::WORD error = RunLookup(kMsgCallingGetServByName, [&] {
    return WinsockAPI().WSAAsyncGetServByName(WindowHandle_, SM_LOOKUP, name.c_str(),
                                              protocol.c_str(), buffer.bytes, sizeof buffer.bytes);
  });
  if (error != 0) return 0;
  return WinsockAPI().ntohs(winsock::u_short(buffer.Service().s_port));
}

std::string TSockCtrl::LookupServiceName(winsock::u_short Port) {
  const std::string protocol = Bounded(ProtocolName_, kMaxProtocolText);
  TLookupBuffer buffer;
  const winsock::WORD error = RunLookup(kMsgCallingGetServByPort, [&] {
    return WinsockAPI().WSAAsyncGetServByPort(WindowHandle_, SM_LOOKUP, WinsockAPI().htons(Port),
                                              protocol.c_str(), buffer.bytes, sizeof buffer.bytes);
  });
  if (error != 0) return "";
  const char* name = buffer.Service().s_name;
  return ShortString(name != nullptr ? name : "");
}

std::vector<TSockAddress> TSockCtrl::LookupHostAddresses(std::string_view Name,
                                                         std::int32_t SocketType) {
  const int no_such_family = AddressFamily_ == afIPv6Only ? kMsgNoIPv6Address : kMsgNoIPv4Address;
  if (Name.find_first_of(":[]") != std::string_view::npos) {
    const std::optional<TSockAddress> literal = ReadIPv6Address(Name);
    if (!literal) RaiseSockError(0, kMsgUnreadableAddress);
    if (AddressFamily_ == afIPv4Only) RaiseSockError(0, kMsgNoIPv4Address);
    return {*literal};
  }
  const std::string name = Bounded(Name, kMaxNameText);
  winsock::ADDRINFOA hints{};
  hints.ai_family = AddressFamily_ == afIPv4Only   ? winsock::AF_INET
                    : AddressFamily_ == afIPv6Only ? winsock::AF_INET6
                                                   : winsock::AF_UNSPEC;
  hints.ai_socktype = SocketType;
  alignas(std::max_align_t) char buffer[winsock::MAXGETADDRINFOSTRUCT];
  const winsock::WORD error = RunLookup(kMsgCallingGetAddrInfo, [&] {
    return WinsockAPI().WSAAsyncGetAddrInfo(WindowHandle_, SM_LOOKUP, name.c_str(), nullptr, &hints,
                                            buffer, sizeof buffer);
  });
  // A name that has addresses, only none of the family asked for.
  const bool restricted = AddressFamily_ != afAny;
  if (restricted && (error == winsock::WSANO_DATA || error == winsock::WSAHOST_NOT_FOUND)) {
    RaiseSockError(0, no_such_family);
  }
  if (error != 0) RaiseSockError(error, kMsgFindingHostAddress);
  std::vector<TSockAddress> addresses;
  for (auto* node = reinterpret_cast<const winsock::ADDRINFOA*>(buffer); node != nullptr;
       node = node->ai_next) {
    TSockAddress address;
    address.Length = int(std::min(node->ai_addrlen, sizeof address.Storage));
    std::memcpy(&address.Storage, node->ai_addr, std::size_t(address.Length));
    addresses.push_back(address);
  }
  if (addresses.empty()) RaiseSockError(winsock::WSANO_DATA, kMsgFindingHostAddress);
  return InConnectOrder(addresses);
}

}  // namespace sockets
