// The last error of each thread and the POSIX to Winsock error table.
#include "platform/wsock32/error_state.h"

#include <cerrno>

namespace wsock32 {
namespace {

// Static TLS, not the dynamic kind a loaded library gets by default: the
// library is unloaded and loaded again while the program runs, and a leak
// checker that walks the threads' dynamic TLS can trip over the block an
// unloaded library left behind.
[[gnu::tls_model("initial-exec")]] thread_local int last_error = 0;

}  // namespace

void SetLastError(int error) {
  last_error = error;
}

int LastError() {
  return last_error;
}

int ErrorFromErrno(int posix_error) {
  struct TErrnoToError {
    int Posix;
    int Error;
  };
  static constexpr TErrnoToError kErrors[] = {
      {EINTR, winsock::WSAEINTR},
      {EBADF, winsock::WSAEBADF},
      {EACCES, winsock::WSAEACCES},
      {EPERM, winsock::WSAEACCES},
      {EFAULT, winsock::WSAEFAULT},
      {EINVAL, winsock::WSAEINVAL},
      {EMFILE, winsock::WSAEMFILE},
      {ENFILE, winsock::WSAEMFILE},
      {EAGAIN, winsock::WSAEWOULDBLOCK},
      {EINPROGRESS, winsock::WSAEINPROGRESS},
      {EALREADY, winsock::WSAEALREADY},
      {ENOTSOCK, winsock::WSAENOTSOCK},
      {EDESTADDRREQ, winsock::WSAEDESTADDRREQ},
      {EMSGSIZE, winsock::WSAEMSGSIZE},
      {EPROTOTYPE, winsock::WSAEPROTOTYPE},
      {ENOPROTOOPT, winsock::WSAENOPROTOOPT},
      {EPROTONOSUPPORT, winsock::WSAEPROTONOSUPPORT},
      {ESOCKTNOSUPPORT, winsock::WSAESOCKTNOSUPPORT},
      {EOPNOTSUPP, winsock::WSAEOPNOTSUPP},
      {EPFNOSUPPORT, winsock::WSAEPFNOSUPPORT},
      {EAFNOSUPPORT, winsock::WSAEAFNOSUPPORT},
      {EADDRINUSE, winsock::WSAEADDRINUSE},
      {EADDRNOTAVAIL, winsock::WSAEADDRNOTAVAIL},
      {ENETDOWN, winsock::WSAENETDOWN},
      {ENETUNREACH, winsock::WSAENETUNREACH},
      {ENETRESET, winsock::WSAENETRESET},
      {ECONNABORTED, winsock::WSAECONNABORTED},
      {ECONNRESET, winsock::WSAECONNRESET},
      {EPIPE, winsock::WSAECONNRESET},
      {ENOBUFS, winsock::WSAENOBUFS},
      {ENOMEM, winsock::WSAENOBUFS},
      {EISCONN, winsock::WSAEISCONN},
      {ENOTCONN, winsock::WSAENOTCONN},
      {ESHUTDOWN, winsock::WSAESHUTDOWN},
      {ETOOMANYREFS, winsock::WSAETOOMANYREFS},
      {ETIMEDOUT, winsock::WSAETIMEDOUT},
      {ECONNREFUSED, winsock::WSAECONNREFUSED},
      {ELOOP, winsock::WSAELOOP},
      {ENAMETOOLONG, winsock::WSAENAMETOOLONG},
      {EHOSTDOWN, winsock::WSAEHOSTDOWN},
      {EHOSTUNREACH, winsock::WSAEHOSTUNREACH},
      {ENOTEMPTY, winsock::WSAENOTEMPTY},
      {EUSERS, winsock::WSAEUSERS},
      {EDQUOT, winsock::WSAEDQUOT},
      {ESTALE, winsock::WSAESTALE},
      {EREMOTE, winsock::WSAEREMOTE},
  };
  for (const TErrnoToError& entry : kErrors) {
    if (entry.Posix == posix_error) return entry.Error;
  }
  // Anything else is a failure the interface has no word for: the network
  // subsystem failed.
  return winsock::WSAENETDOWN;
}

}  // namespace wsock32
