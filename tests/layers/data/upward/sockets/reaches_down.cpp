// A socket source that reaches into the transport above it.
#include "transport/line_socket.h"
