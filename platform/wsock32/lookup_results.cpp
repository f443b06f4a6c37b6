// The look-ups proper: getaddrinfo, getnameinfo and the services database.
#include "platform/wsock32/lookup_results.h"

#include "platform/wsock32/error_state.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wsock32 {
namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// The loopback names are answered here, whatever the hosts file says.
bool IsLocalhost(const std::string& name) {
  return Lowered(name) == "localhost";
}

// Names in the reserved "invalid" domain never exist: answered at once,
// without asking a name server.
bool IsInInvalidDomain(const std::string& name) {
  const std::string lowered = Lowered(name);
  constexpr std::string_view kDomain = ".invalid";
  return lowered == "invalid" || (lowered.size() > kDomain.size() && lowered.ends_with(kDomain));
}

int ErrorFromResolver(int code) {
  switch (code) {
    case EAI_NONAME:
      return winsock::WSAHOST_NOT_FOUND;
    case EAI_AGAIN:
      return winsock::WSATRY_AGAIN;
    case EAI_NODATA:
    case EAI_ADDRFAMILY:
      return winsock::WSANO_DATA;
    case EAI_MEMORY:
      return winsock::WSAENOBUFS;
    case EAI_SYSTEM:
      return ErrorFromErrno(errno);
    default:
      return winsock::WSANO_RECOVERY;
  }
}

std::vector<std::string> Strings(char** list) {
  std::vector<std::string> strings;
  for (; list && *list; ++list) strings.emplace_back(*list);
  return strings;
}

// A service looked up by `find` in scratch space that grows until it fits.
template <typename Find>
int FindService(Find find, ServiceEntry& entry) {
  std::vector<char> scratch(1024);
  servent result;
  servent* found = nullptr;
  int code;
  while ((code = find(&result, scratch.data(), scratch.size(), &found)) == ERANGE) {
    scratch.resize(scratch.size() * 2);
  }
  // A service the database does not list is a valid name without data.
  if (code != 0 || !found) return winsock::WSANO_DATA;
  entry.name = found->s_name;
  entry.aliases = Strings(found->s_aliases);
  entry.port = std::uint16_t(found->s_port);
  entry.protocol = found->s_proto;
  return 0;
}

}  // namespace

int FindHostByName(const std::string& name, HostEntry& entry) {
  if (IsLocalhost(name)) {
    entry = {"localhost", {}, {htonl(INADDR_LOOPBACK)}};
    return 0;
  }
  if (IsInInvalidDomain(name)) return winsock::WSAHOST_NOT_FOUND;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* list = nullptr;
  if (int code = ::getaddrinfo(name.c_str(), nullptr, &hints, &list)) {
    return ErrorFromResolver(code);
  }
  entry.name = list->ai_canonname ? list->ai_canonname : name;
  entry.aliases.clear();
  if (entry.name != name) entry.aliases.push_back(name);
  entry.addresses.clear();
  for (const addrinfo* item = list; item; item = item->ai_next) {
    const auto address = reinterpret_cast<const sockaddr_in*>(item->ai_addr)->sin_addr.s_addr;
    if (std::find(entry.addresses.begin(), entry.addresses.end(), address) ==
        entry.addresses.end()) {
      entry.addresses.push_back(address);
    }
  }
  ::freeaddrinfo(list);
  return 0;
}

int FindHostByAddress(std::uint32_t address, HostEntry& entry) {
  entry = {};
  entry.addresses = {address};
  if (address == htonl(INADDR_LOOPBACK)) {
    entry.name = "localhost";
    return 0;
  }
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = address;
  char name[NI_MAXHOST];
  if (int code = ::getnameinfo(reinterpret_cast<const sockaddr*>(&peer), sizeof peer, name,
                               sizeof name, nullptr, 0, NI_NAMEREQD)) {
    return ErrorFromResolver(code);
  }
  entry.name = name;
  return 0;
}

int FindServiceByName(const std::string& name, const std::optional<std::string>& protocol,
                      ServiceEntry& entry) {
  const char* wanted = protocol ? protocol->c_str() : nullptr;
  return FindService(
      [&](servent* result, char* scratch, std::size_t size, servent** found) {
        return ::getservbyname_r(name.c_str(), wanted, result, scratch, size, found);
      },
      entry);
}

int FindServiceByPort(std::uint16_t port, const std::optional<std::string>& protocol,
                      ServiceEntry& entry) {
  const char* wanted = protocol ? protocol->c_str() : nullptr;
  return FindService(
      [&](servent* result, char* scratch, std::size_t size, servent** found) {
        return ::getservbyport_r(port, wanted, result, scratch, size, found);
      },
      entry);
}

}  // namespace wsock32
