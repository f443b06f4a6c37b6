// The look-ups proper: getaddrinfo, getnameinfo, the services database, and
// the test switch's file of names.
#include "platform/wsock32/lookup_results.h"

#include "platform/wsock32/error_state.h"
#include "platform/wsock32/hosts_file.h"
#include "platform/wsock32/libc_sockets.h"

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

// Appends what the system's resolver answers for the question.
int AppendResolved(const AddressQuery& query, ResolvedList& list) {
  addrinfo* found = nullptr;
  const char* node = query.node ? query.node->c_str() : nullptr;
  const char* service = query.service ? query.service->c_str() : nullptr;
  if (int code = libc::GetAddrInfo(node, service, &query.hints, &found)) {
    return AddressCallError(code);
  }
  if (found && found->ai_canonname && list.canonical_name.empty()) {
    list.canonical_name = found->ai_canonname;
  }
  for (const addrinfo* item = found; item; item = item->ai_next) {
    ResolvedAddress address;
    address.socktype = item->ai_socktype;
    address.protocol = item->ai_protocol;
    address.address.length = std::min<socklen_t>(item->ai_addrlen, sizeof address.address.storage);
    std::memcpy(&address.address.storage, item->ai_addr, address.address.length);
    list.addresses.push_back(address);
  }
  libc::FreeAddrInfo(found);
  return 0;
}

// A name answered here: each of `texts` as a numeric address, those of another
// family than the one asked for left out.
int ResolveAsListed(const AddressQuery& query, const std::vector<std::string>& texts,
                    ResolvedList& list) {
  AddressQuery numeric = query;
  numeric.hints.ai_flags = (numeric.hints.ai_flags & ~AI_CANONNAME) | AI_NUMERICHOST;
  for (const std::string& text : texts) {
    numeric.node = text;
    const int error = AppendResolved(numeric, list);
    if (error == kWinsockEaiService || error == kWinsockEaiSocktype) return error;
  }
  if (list.addresses.empty()) return winsock::WSANO_DATA;
  if (query.hints.ai_flags & AI_CANONNAME) list.canonical_name = *query.node;
  return 0;
}

}  // namespace

int AddressCallError(int code) {
  switch (code) {
    case EAI_AGAIN:
      return kWinsockEaiAgain;
    case EAI_BADFLAGS:
      return kWinsockEaiBadFlags;
    case EAI_FAMILY:
      return kWinsockEaiFamily;
    case EAI_MEMORY:
      return kWinsockEaiMemory;
    case EAI_NONAME:
      return kWinsockEaiNoName;
    case EAI_SERVICE:
      return kWinsockEaiService;
    case EAI_SOCKTYPE:
      return kWinsockEaiSocktype;
    case EAI_NODATA:
    case EAI_ADDRFAMILY:
      return winsock::WSANO_DATA;
    case EAI_SYSTEM:
      return ErrorFromErrno(errno);
    default:
      return kWinsockEaiFail;
  }
}

int FindAddresses(const AddressQuery& query, ResolvedList& list) {
  list = {};
  const bool by_name = query.node && !(query.hints.ai_flags & AI_NUMERICHOST);
  if (by_name) {
    if (auto listed = HostsFileAddresses(*query.node)) return ResolveAsListed(query, *listed, list);
    if (IsLocalhost(*query.node)) {
      return ResolveAsListed(query, {query.hints.ai_family == AF_INET6 ? "::1" : "127.0.0.1"},
                             list);
    }
    if (IsInInvalidDomain(*query.node)) return winsock::WSAHOST_NOT_FOUND;
  }
  return AppendResolved(query, list);
}

int FindHostByName(const std::string& name, HostEntry& entry) {
  if (auto listed = HostsFileAddresses(name)) {
    entry = {name, {}, {}};
    for (const std::string& text : *listed) {
      in_addr address;
      if (libc::InetPton(AF_INET, text.c_str(), &address) == 1) {
        entry.addresses.push_back(address.s_addr);
      }
    }
    return entry.addresses.empty() ? winsock::WSANO_DATA : 0;
  }
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
  if (int code = libc::GetAddrInfo(name.c_str(), nullptr, &hints, &list)) {
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
  libc::FreeAddrInfo(list);
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
  if (int code = libc::GetNameInfo(reinterpret_cast<const sockaddr*>(&peer), sizeof peer, name,
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
