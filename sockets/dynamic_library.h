// Loading a library at run time by the name the socket layer knows it by, and
// finding its entry points.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sockets {

// The files tried, in order, for a library name:
// - A name ending in ".so" is a file name already and is used as it stands: a
//   path is loaded from there, a bare file name through the system's library path.
// - Any other name, such as "WSOCK32.DLL", names the library the way its callers
//   know it: the file-name part (after the last "/" or "\"), without its extension
//   (from its last "."), lower-cased, gives the file "lib<stem>.so"
//   ("WSOCK32.DLL" gives "libwsock32.so"). That file is looked for first in the
//   directory of the running executable, then through the system's library path.
//   A directory in the name is ignored; to load from a given place, name the .so
//   file itself.
std::vector<std::string> LibraryFileCandidates(std::string_view name);

// Loads the library by the rule above; nullptr when no candidate loads.
void* LoadLibrary(std::string_view name);

// The entry point `name` defined in the library itself; nullptr when the library
// has none, even if a library it depends on (the C library, say) defines it.
void* GetProcAddress(void* library, const char* name);

void FreeLibrary(void* library);

}  // namespace sockets
