// The socket library as the program loads it: dlopen from the directory of the
// running executable, every entry point found with dlsym.
#pragma once

#include <string>

#include "platform/wsock32/winsock.h"

namespace wsock32test {

struct EntryPoints {
#define WSOCK32TEST_POINTER(name, result, params) winsock::name##_fn name = nullptr;
  WINSOCK_ENTRY_POINTS(WSOCK32TEST_POINTER)
#undef WSOCK32TEST_POINTER
};

std::string LibraryPath();
void* LibraryHandle();
// Loaded once per process; aborts the test run when the library or an entry
// point is missing.
const EntryPoints& Winsock();

}  // namespace wsock32test
