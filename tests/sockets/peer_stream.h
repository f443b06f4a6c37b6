// Reading what the server component sends to a plain loopback connection
// (tests/support/loopback_socket.h) without waiting: the server runs on the
// test's own thread, so tests wait by running the event loop. Kept apart from
// the socket library's header, whose names clash with the POSIX ones.
#pragma once

#include <string>

namespace sockets_test {

// Appends what has arrived to `into`; false once the server has ended or reset
// the connection.
bool TakeArrived(int fd, std::string& into);

}  // namespace sockets_test
