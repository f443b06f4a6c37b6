// Host and service look-ups on the system's resolver and services database,
// with results in plain form, ready to be packed for the caller.
#pragma once

#include "platform/wsock32/winsock_constants.h"

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

// Each fills the entry and returns 0, or returns the look-up error (11001 host
// not found, 11002 try again, 11003 non-recoverable, 11004 no data).
int FindHostByName(const std::string& name, HostEntry& entry);
int FindHostByAddress(std::uint32_t address, HostEntry& entry);
int FindServiceByName(const std::string& name, const std::optional<std::string>& protocol,
                      ServiceEntry& entry);
int FindServiceByPort(std::uint16_t port, const std::optional<std::string>& protocol,
                      ServiceEntry& entry);

}  // namespace wsock32
