// The four name look-ups of a socket control. Each starts an asynchronous
// request of the library and waits for it while the message loop runs.
#include <cstddef>
#include <cstring>

#include "sockets/error_text.h"
#include "sockets/sock_ctrl.h"
#include "sockets/sock_error.h"
#include "sockets/socket_messages.h"
#include "sockets/text_helpers.h"
#include "sockets/winsock_unit.h"

namespace sockets {
namespace {

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

}  // namespace sockets
