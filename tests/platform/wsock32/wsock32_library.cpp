// Loading libwsock32.so from beside the test executable.
#include "tests/platform/wsock32/wsock32_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <filesystem>

namespace wsock32test {

std::string LibraryPath() {
  const auto directory = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  return (directory / "libwsock32.so").string();
}

void* LibraryHandle() {
  // Local binding, as the program's loader does: the library's names stay out
  // of the process's global lookup.
  static void* handle = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    ADD_FAILURE() << "cannot load " << LibraryPath() << ": " << dlerror();
    std::abort();
  }
  return handle;
}

const EntryPoints& Winsock() {
  static const EntryPoints entry_points = [] {
    EntryPoints found;
#define WSOCK32TEST_RESOLVE(name, result, params)                                   \
  found.name = reinterpret_cast<winsock::name##_fn>(dlsym(LibraryHandle(), #name)); \
  if (!found.name) {                                                                \
    ADD_FAILURE() << "missing entry point " #name;                                  \
    std::abort();                                                                   \
  }
    WINSOCK_ENTRY_POINTS(WSOCK32TEST_RESOLVE)
#undef WSOCK32TEST_RESOLVE
    return found;
  }();
  return entry_points;
}

}  // namespace wsock32test
