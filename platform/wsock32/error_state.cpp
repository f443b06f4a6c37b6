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
  switch (posix_error) {
    case EINTR:
      return winsock::WSAEINTR;
    case EBADF:
      return winsock::WSAEBADF;
    case EACCES:
    case EPERM:
      return winsock::WSAEACCES;
    case EFAULT:
      return winsock::WSAEFAULT;
    case EINVAL:
      return winsock::WSAEINVAL;
    case EMFILE:
    case ENFILE:
      return winsock::WSAEMFILE;
    case EAGAIN:
      return winsock::WSAEWOULDBLOCK;
    case EINPROGRESS:
      return winsock::WSAEINPROGRESS;
    case EALREADY:
      return winsock::WSAEALREADY;
    case ENOTSOCK:
      return winsock::WSAENOTSOCK;
    case EDESTADDRREQ:
      return winsock::WSAEDESTADDRREQ;
    case EMSGSIZE:
      return winsock::WSAEMSGSIZE;
    case EPROTOTYPE:
      return winsock::WSAEPROTOTYPE;
    case ENOPROTOOPT:
      return winsock::WSAENOPROTOOPT;
    case EPROTONOSUPPORT:
      return winsock::WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT:
      return winsock::WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP:
      return winsock::WSAEOPNOTSUPP;
    case EPFNOSUPPORT:
      return winsock::WSAEPFNOSUPPORT;
    case EAFNOSUPPORT:
      return winsock::WSAEAFNOSUPPORT;
    case EADDRINUSE:
      return winsock::WSAEADDRINUSE;
    case EADDRNOTAVAIL:
      return winsock::WSAEADDRNOTAVAIL;
    case ENETDOWN:
      return winsock::WSAENETDOWN;
    case ENETUNREACH:
      return winsock::WSAENETUNREACH;
    case ENETRESET:
      return winsock::WSAENETRESET;
    case ECONNABORTED:
      return winsock::WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
      return winsock::WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
      return winsock::WSAENOBUFS;
    case EISCONN:
      return winsock::WSAEISCONN;
    case ENOTCONN:
      return winsock::WSAENOTCONN;
    case ESHUTDOWN:
      return winsock::WSAESHUTDOWN;
    case ETOOMANYREFS:
      return winsock::WSAETOOMANYREFS;
    case ETIMEDOUT:
      return winsock::WSAETIMEDOUT;
    case ECONNREFUSED:
      return winsock::WSAECONNREFUSED;
    case ELOOP:
      return winsock::WSAELOOP;
    case ENAMETOOLONG:
      return winsock::WSAENAMETOOLONG;
    case EHOSTDOWN:
      return winsock::WSAEHOSTDOWN;
    case EHOSTUNREACH:
      return winsock::WSAEHOSTUNREACH;
    case ENOTEMPTY:
      return winsock::WSAENOTEMPTY;
    case EUSERS:
      return winsock::WSAEUSERS;
    case EDQUOT:
      return winsock::WSAEDQUOT;
    case ESTALE:
      return winsock::WSAESTALE;
    case EREMOTE:
      return winsock::WSAEREMOTE;
    // Anything else is a failure the interface has no word for: the network
    // subsystem failed.
    default:
      return winsock::WSAENETDOWN;
  }
}

}  // namespace wsock32
