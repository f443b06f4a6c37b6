// The address calls over the C library's resolver and address conversions.
#include "platform/wsock32/address_calls.h"

#include "platform/wsock32/address_hints.h"
#include "platform/wsock32/entry_packing.h"
#include "platform/wsock32/error_state.h"
#include "platform/wsock32/libc_sockets.h"
#include "platform/wsock32/startup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace wsock32 {
namespace {

struct FlagPair {
  int winsock;
  int posix;
};

constexpr FlagPair kAddressFlags[] = {
    {kWinsockPassive, AI_PASSIVE},
    {kWinsockCanonName, AI_CANONNAME},
    {kWinsockNumericHost, AI_NUMERICHOST},
    {kWinsockNumericServ, AI_NUMERICSERV},
    {kWinsockAll, AI_ALL},
    {kWinsockAddrConfig, AI_ADDRCONFIG},
    {kWinsockV4Mapped, AI_V4MAPPED},
};

constexpr FlagPair kNameFlags[] = {
    {kWinsockNameNoFqdn, NI_NOFQDN},     {kWinsockNameNumericHost, NI_NUMERICHOST},
    {kWinsockNameRequired, NI_NAMEREQD}, {kWinsockNameNumericServ, NI_NUMERICSERV},
    {kWinsockNameDgram, NI_DGRAM},
};

// The POSIX flags, or -1 when a bit has no counterpart.
template <std::size_t N>
int PosixFlags(int flags, const FlagPair (&table)[N]) {
  int posix = 0;
  for (const FlagPair& pair : table) {
    if (flags & pair.winsock) posix |= pair.posix;
    flags &= ~pair.winsock;
  }
  return flags == 0 ? posix : -1;
}

// The POSIX family of the interface's, or -1.
int PosixFamily(int family) {
  if (family == kWinsockUnspecified) return AF_UNSPEC;
  if (family == kWinsockInet) return AF_INET;
  if (family == kWinsockInet6) return AF_INET6;
  return -1;
}

}  // namespace

int ReadHints(const winsock::ADDRINFOA* hints, addrinfo& posix) {
  posix = {};
  posix.ai_family = AF_UNSPEC;
  if (!hints) return 0;
  posix.ai_flags = PosixFlags(hints->ai_flags, kAddressFlags);
  if (posix.ai_flags < 0) return kWinsockEaiBadFlags;
  posix.ai_family = PosixFamily(hints->ai_family);
  if (posix.ai_family < 0) return kWinsockEaiFamily;
  // Stream, datagram and raw have the same numbers on both sides.
  if (hints->ai_socktype < 0 || hints->ai_socktype > SOCK_RAW) return kWinsockEaiSocktype;
  posix.ai_socktype = hints->ai_socktype;
  posix.ai_protocol = hints->ai_protocol;
  return 0;
}

int GetAddrInfo(const char* node, const char* service, const winsock::ADDRINFOA* hints,
                winsock::ADDRINFOA** result) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::WSANOTINITIALISED);
  if (!result) return Fail(winsock::WSAEFAULT, winsock::WSAEFAULT);
  *result = nullptr;
  if (!node && !service) return Fail(kWinsockEaiNoName, kWinsockEaiNoName);
  AddressQuery query;
  if (int error = ReadHints(hints, query.hints)) return Fail(error, error);
  if (node) query.node = node;
  if (service) query.service = service;
  ResolvedList list;
  if (int error = FindAddresses(query, list)) return Fail(error, error);
  const int flags = hints ? hints->ai_flags : 0;
  // One block holds the whole list; its alignment needs no more than malloc's.
  const std::size_t size = PackAddrInfo(list, flags, nullptr, 0).size;
  char* block = static_cast<char*>(std::malloc(size));
  if (!block) return Fail(kWinsockEaiMemory, kWinsockEaiMemory);
  const PackedEntry packed = PackAddrInfo(list, flags, block, int(size));
  std::memcpy(block, packed.bytes.data(), packed.bytes.size());
  *result = reinterpret_cast<winsock::ADDRINFOA*>(block);
  return 0;
}

void FreeAddrInfo(winsock::ADDRINFOA* list) {
  std::free(list);
}

int GetNameInfo(const winsock::sockaddr* address, int address_length, char* host,
                winsock::DWORD host_length, char* service, winsock::DWORD service_length,
                int flags) {
  if (!IsStarted()) return Fail(winsock::WSANOTINITIALISED, winsock::WSANOTINITIALISED);
  PosixAddress posix;
  if (int error = ReadAddress(address, address_length, posix)) return Fail(error, error);
  const int posix_flags = PosixFlags(flags, kNameFlags);
  if (posix_flags < 0) return Fail(kWinsockEaiBadFlags, kWinsockEaiBadFlags);
  if (!host) host_length = 0;
  if (!service) service_length = 0;
  if (host_length == 0 && service_length == 0) return Fail(kWinsockEaiNoName, kWinsockEaiNoName);
  const int code =
      libc::GetNameInfo(posix.get(), posix.length, host_length ? host : nullptr, host_length,
                        service_length ? service : nullptr, service_length, posix_flags);
  if (code == 0) return 0;
  const int error = code == EAI_OVERFLOW ? winsock::WSAEFAULT : AddressCallError(code);
  return Fail(error, error);
}

int InetPton(int family, const char* text, void* address) {
  const int posix = PosixFamily(family);
  if (posix <= 0) return Fail(winsock::WSAEAFNOSUPPORT, -1);
  if (!text || !address) return Fail(winsock::WSAEFAULT, -1);
  return libc::InetPton(posix, text, address);
}

const char* InetNtop(int family, const void* address, char* text, std::size_t length) {
  const int posix = PosixFamily(family);
  if (posix <= 0) return Fail(winsock::WSAEAFNOSUPPORT, nullptr);
  if (!address) return Fail(winsock::WSAEFAULT, nullptr);
  // A buffer too small for the text is an invalid parameter.
  if (!text || !libc::InetNtop(posix, address, text, socklen_t(length))) {
    return Fail(winsock::ERROR_INVALID_PARAMETER, nullptr);
  }
  return text;
}

}  // namespace wsock32
