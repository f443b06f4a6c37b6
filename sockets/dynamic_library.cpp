// Library loading over dlopen, with the name-to-file rule of the socket layer.
#include "sockets/dynamic_library.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace sockets {
namespace {

std::string ExecutableDirectory() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || std::size_t(length) >= path.size()) return {};
  path.resize(std::size_t(length));
  return path.substr(0, path.rfind('/'));
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

std::vector<std::string> LibraryFileCandidates(std::string_view name) {
  if (EndsWith(name, ".so")) return {std::string(name)};
  std::string_view stem = name;
  if (const auto slash = stem.find_last_of("/\\"); slash != std::string_view::npos) {
    stem.remove_prefix(slash + 1);
  }
  stem = stem.substr(0, stem.rfind('.'));
  std::string file = "lib";
  std::transform(stem.begin(), stem.end(), std::back_inserter(file),
                 [](unsigned char c) { return char(std::tolower(c)); });
  file += ".so";

  std::vector<std::string> candidates;
  if (const std::string directory = ExecutableDirectory(); !directory.empty()) {
    candidates.push_back(directory + "/" + file);
  }
  candidates.push_back(file);
  return candidates;
}

void* LoadLibrary(std::string_view name) {
  for (const std::string& file : LibraryFileCandidates(name)) {
    if (void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
  }
  return nullptr;
}

void* GetProcAddress(void* library, const char* name) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) return nullptr;
  // dlsym also searches the library's dependencies: a library without its own
  // `send` would silently hand out the C library's. Accept only the library's own.
  Dl_info info;
  link_map* owner = nullptr;
  link_map* self = nullptr;
  if (dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0) {
    return nullptr;
  }
  if (dlinfo(library, RTLD_DI_LINKMAP, &self) != 0) return nullptr;
  return owner != nullptr && owner == self ? symbol : nullptr;
}

void FreeLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}

}  // namespace sockets
