// Resolves the C library's own socket, bind, connect, listen and getsockname.
#include "platform/wsock32/libc_sockets.h"

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

}  // namespace wsock32::libc
