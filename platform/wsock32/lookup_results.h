// Host and service look-ups on the system's resolver and services database,
// with results in plain form, ready to be packed for the caller.
#pragma once

#include "platform/wsock32/winsock_constants.h"

#include "platform/wsock32/socket_address.h"

#include <netdb.h>
#include <optional>
#include <string>
#include <vector>

namespace wsock32 {

struct HostEntry {
  std::string name;
  std::vector<std::string> aliases;
  std::vector<std::uint32_t> addresses;  // network order
};

struct ServiceEntry {
  std::string name;
  std::vector<std::string> aliases;
  std::uint16_t port = 0;  // network order
  std::string protocol;
};

// One address of getaddrinfo's answer, on the POSIX side.
struct ResolvedAddress {
  int socktype = 0;  // POSIX numbers
  int protocol = 0;
  PosixAddress address;
};

struct ResolvedList {
  std::vector<ResolvedAddress> addresses;
  std::string canonical_name;  // empty unless asked for
};

// getaddrinfo's question, with POSIX hints (null node or service: none given).
struct AddressQuery {
  std::optional<std::string> node;
  std::optional<std::string> service;
  addrinfo hints{};
};

// Answers the question: names that the test switch's file lists from that file,
// "localhost" here (127.0.0.1; ::1 when only IPv6 is asked for), names in the
// "invalid" domain never, others through the system's resolver. 0, or the
// Windows Sockets number of getaddrinfo's error.
int FindAddresses(const AddressQuery& query, ResolvedList& list);
// getaddrinfo's and getnameinfo's POSIX error as a Windows Sockets number.
int AddressCallError(int code);

// Each fills the entry and returns 0, or returns the look-up error (11001 host
// not found, 11002 try again, 11003 non-recoverable, 11004 no data).
int FindHostByName(const std::string& name, HostEntry& entry);
int FindHostByAddress(std::uint32_t address, HostEntry& entry);
int FindServiceByName(const std::string& name, const std::optional<std::string>& protocol,
                      ServiceEntry& entry);
int FindServiceByPort(std::uint16_t port, const std::optional<std::string>& protocol,
                      ServiceEntry& entry);

}  // namespace wsock32
