// The socket entry points, checked and carried out on POSIX sockets. Each
// returns the entry point's result and sets the thread's last error on failure.
#pragma once

#include "platform/wsock32/winsock_constants.h"

namespace wsock32 {

winsock::SOCKET OpenSocket(int family, int type, int protocol);
int CloseSocket(winsock::SOCKET handle);
int Bind(winsock::SOCKET handle, const winsock::sockaddr* name, int name_length);
int Listen(winsock::SOCKET handle, int backlog);
winsock::SOCKET Accept(winsock::SOCKET handle, winsock::sockaddr* address, int* address_length);
// A stream connect never succeeds at once: 10035, and the outcome with FD_CONNECT.
int Connect(winsock::SOCKET handle, const winsock::sockaddr* name, int name_length);
int GetSockName(winsock::SOCKET handle, winsock::sockaddr* name, int* name_length);
int AsyncSelect(winsock::SOCKET handle, winsys::HWND window, winsock::u_int message, long events);

int Send(winsock::SOCKET handle, const char* buffer, int length, int flags);
int SendTo(winsock::SOCKET handle, const char* buffer, int length, int flags,
           const winsock::sockaddr* to, int to_length);
int Recv(winsock::SOCKET handle, char* buffer, int length, int flags);
int RecvFrom(winsock::SOCKET handle, char* buffer, int length, int flags, winsock::sockaddr* from,
             int* from_length);
int IoctlSocket(winsock::SOCKET handle, std::int32_t command, winsock::u_long* argument);

// The last clean-up: every socket is reset and its handle forgotten.
void ResetAllSockets();

}  // namespace wsock32
