// The addressing properties of a socket control: the texts as given, and the
// settings derived from them.
#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string_view>

#include "sockets/address_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_ctrl.h"
#include "sockets/text_helpers.h"
#include "sockets/winsock_unit.h"

namespace sockets {
namespace {

struct TProtocolEntry {
  std::int32_t number;
  std::string_view name;
};

constexpr std::array<TProtocolEntry, 9> kProtocols{{
    {0, "IP"},
    {1, "ICMP"},
    {2, "GGP"},
    {6, "TCP"},
    {12, "PUP"},
    {17, "UDP"},
    {22, "IDP"},
    {77, "ND"},
    {255, "RAW"},
}};

std::string_view ProtocolNameOf(std::int32_t number) {
  for (const TProtocolEntry& entry : kProtocols) {
    if (entry.number == number) return entry.name;
  }
  return {};
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// -1 for a name the table does not hold.
std::int32_t ProtocolNumberOf(std::string_view name) {
  for (const TProtocolEntry& entry : kProtocols) {
    if (EqualIgnoringCase(entry.name, name)) return entry.number;
  }
  return -1;
}

}  // namespace

void TSockCtrl::SetAddress(std::string_view Value) {
  // The address test needs the binding; the library need not be started.
  WinsockAPI();
  Address_ = ShortString(Value);
  if (Designing()) return;
  if (IsDottedAddress(Value)) {
    DottedAddress_ = Address_;
    HostName_.clear();
  } else {
    HostName_ = WithoutBrackets(Address_);
    DottedAddress_.clear();
  }
}

void TSockCtrl::SetPort(std::string_view Value) {
  // Without a started library nothing is looked up.
  WinsockAPI();
  Port_ = ShortString(Value);
  if (IsNumeric(Value)) {
    PortNumber_ = winsock::u_short(*ParseInteger(Value));
    std::string service;
    if (WinsockStarted()) {
      try {
        service = LookupServiceName(PortNumber_);
      } catch (const ESockError&) {
        // No service name: the port is used by its number.
      }
    }
    ServiceName_ = service;
  } else {
    ServiceName_ = Port_;
    winsock::u_short port = 0;
    if (WinsockStarted()) {
      try {
        port = LookupService(Port_);
      } catch (const ESockError&) {
        // Port 0; the connect looks the service up again.
      }
    }
    PortNumber_ = port;
  }
}

void TSockCtrl::SetProtocol(std::string_view Value) {
  Protocol_ = ShortString(Value);
  if (!IsNumeric(Value)) {
    ProtocolName_ = Protocol_;
    ProtocolNumber_ = ProtocolNumberOf(Protocol_);
  } else {
    ProtocolNumber_ = *ParseInteger(Value);
    ProtocolName_ = ProtocolNameOf(ProtocolNumber_);
  }
}

void TSockCtrl::SetTimeOut(std::int32_t Value) {
  TimeOut_ = std::max(Value, 0);
}

}  // namespace sockets
