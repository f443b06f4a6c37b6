// Resolves the C library's own socket calls and address calls.
#include "platform/wsock32/libc_sockets.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <gnu/lib-names.h>
#include <cerrno>

namespace wsock32::libc {
namespace {

struct Calls {
  decltype(&::socket) socket = nullptr;
  decltype(&::bind) bind = nullptr;
  decltype(&::connect) connect = nullptr;
  decltype(&::listen) listen = nullptr;
  decltype(&::getsockname) getsockname = nullptr;
  decltype(&::getaddrinfo) getaddrinfo = nullptr;
  decltype(&::freeaddrinfo) freeaddrinfo = nullptr;
  decltype(&::getnameinfo) getnameinfo = nullptr;
  decltype(&::inet_pton) inet_pton = nullptr;
  decltype(&::inet_ntop) inet_ntop = nullptr;
};

template <typename Function>
void Resolve(void* library, const char* name, Function& function) {
  function = library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

// A handle on the C library (already loaded in every process) searches that
// library alone, whatever else the process has loaded and in which order.
const Calls& TheCalls() {
  static const Calls calls = [] {
    Calls found;
    void* library = dlopen(LIBC_SO, RTLD_LAZY | RTLD_NOLOAD);
    Resolve(library, "socket", found.socket);
    Resolve(library, "bind", found.bind);
    Resolve(library, "connect", found.connect);
    Resolve(library, "listen", found.listen);
    Resolve(library, "getsockname", found.getsockname);
    Resolve(library, "getaddrinfo", found.getaddrinfo);
    Resolve(library, "freeaddrinfo", found.freeaddrinfo);
    Resolve(library, "getnameinfo", found.getnameinfo);
    Resolve(library, "inet_pton", found.inet_pton);
    Resolve(library, "inet_ntop", found.inet_ntop);
    return found;
  }();
  return calls;
}

template <typename Function, typename... Args>
int Call(Function function, Args... args) {
  if (!function) {
    errno = ENOSYS;
    return -1;
  }
  return function(args...);
}

}  // namespace

int Socket(int domain, int type, int protocol) {
  return Call(TheCalls().socket, domain, type, protocol);
}

int Bind(int fd, const sockaddr* address, socklen_t length) {
  return Call(TheCalls().bind, fd, address, length);
}

int Connect(int fd, const sockaddr* address, socklen_t length) {
  return Call(TheCalls().connect, fd, address, length);
}

int Listen(int fd, int backlog) {
  return Call(TheCalls().listen, fd, backlog);
}

int GetSockName(int fd, sockaddr* address, socklen_t* length) {
  return Call(TheCalls().getsockname, fd, address, length);
}

int GetAddrInfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result) {
  if (!TheCalls().getaddrinfo) return EAI_FAIL;
  return TheCalls().getaddrinfo(node, service, hints, result);
}

void FreeAddrInfo(addrinfo* list) {
  if (list && TheCalls().freeaddrinfo) TheCalls().freeaddrinfo(list);
}

int GetNameInfo(const sockaddr* address, socklen_t length, char* host, socklen_t host_length,
                char* service, socklen_t service_length, int flags) {
  if (!TheCalls().getnameinfo) return EAI_FAIL;
  return TheCalls().getnameinfo(address, length, host, host_length, service, service_length, flags);
}

int InetPton(int family, const char* text, void* address) {
  return Call(TheCalls().inet_pton, family, text, address);
}

const char* InetNtop(int family, const void* address, char* text, socklen_t length) {
  if (!TheCalls().inet_ntop) {
    errno = ENOSYS;
    return nullptr;
  }
  return TheCalls().inet_ntop(family, address, text, length);
}

}  // namespace wsock32::libc
