// The socket library binding: library name, loading, entry points and the
// copies of WSADATA.
#include "sockets/winsock_api.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "sockets/dynamic_library.h"
#include "sockets/error_text.h"
#include "sockets/exceptions.h"
#include "sockets/sock_error.h"
#include "sockets/text_helpers.h"

namespace sockets {
namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::tolower(x) == std::tolower(y);
  });
}

bool HasExtension(std::string_view file_name) {
  const auto directory_end = file_name.find_last_of("/\\:");
  const auto dot = file_name.rfind('.');
  return dot != std::string_view::npos &&
         (directory_end == std::string_view::npos || dot > directory_end);
}

// A fixed-size text field that the library should have terminated but might not.
std::string CopyField(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

}  // namespace

tWinsockAPI::tWinsockAPI() {
  WSAStartup.SetFollowUp([this](int result, winsock::WORD, winsock::WSADATA* data) {
    started_ = result == 0;
    if (data != nullptr) CopyWSAData(*data);
  });
  WSACleanup.SetFollowUp([this](int result) {
    if (result == 0) started_ = false;
  });
}

tWinsockAPI::~tWinsockAPI() {
  FreeLibrary(library_handle_);
  library_handle_ = nullptr;
}

void tWinsockAPI::SetLibraryName(std::string_view value) {
  if (library_handle_ != nullptr) RaiseSockError(0, kMsgLibraryAlreadyLoaded);
  if (!library_name_.empty() && EqualIgnoringCase(value, library_name_)) return;
  library_name_ = value;
  if (!library_name_.empty() && !HasExtension(library_name_)) library_name_ += ".DLL";
}

void* tWinsockAPI::GetProc(const char* name) {
  if (library_handle_ == nullptr) {
    if (library_name_.empty()) SetLibraryName(kDefaultLibraryName);
    library_handle_ = LoadLibrary(library_name_);
    if (library_handle_ == nullptr) {
      // The loader has no error number: its result, a null handle, is reported.
      const long long loader_result = 0;
      throw Exception(
          Format("Unable to load Library \"%s\" Error %d", {library_name_, loader_result}));
    }
  }
  void* entry_point = GetProcAddress(library_handle_, name);
  if (entry_point == nullptr) throw Exception("Unable to locate function in DLL");
  return entry_point;
}

void tWinsockAPI::CopyWSAData(const winsock::WSADATA& data) {
  max_sockets_ = data.iMaxSockets;
  max_udp_dg_ = data.iMaxUdpDg;
  version_ = data.wVersion;
  high_version_ = data.wHighVersion;
  description_ = CopyField(data.szDescription, sizeof data.szDescription);
  system_status_ = CopyField(data.szSystemStatus, sizeof data.szSystemStatus);
  vendor_info_ = data.lpVendorInfo;
}

}  // namespace sockets
