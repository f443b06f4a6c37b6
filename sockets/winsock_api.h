// tWinsockAPI: the run-time binding of the socket library. It loads the library
// on the first call of any entry point and resolves each entry point by name the
// first time it is called.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/wsock32/winsock.h"

namespace sockets {

class tWinsockAPI {
 public:
  // The name loaded when none has been set.
  static constexpr std::string_view kDefaultLibraryName = "WSOCK32.DLL";

  tWinsockAPI();
  ~tWinsockAPI();
  tWinsockAPI(const tWinsockAPI&) = delete;
  tWinsockAPI& operator=(const tWinsockAPI&) = delete;

  // nullptr while the library is not loaded.
  void* LibraryHandle() const { return library_handle_; }
  // Empty when no name is set.
  const std::string& LibraryName() const { return library_name_; }
  // Raises ESockError once the library is loaded. A name equal to the current
  // one but for letter case changes nothing; a name without extension gets ".DLL".
  void SetLibraryName(std::string_view value);

  // The entry point `name`, loading the library first when needed. Raises the
  // general Exception when the library cannot be loaded or lacks the entry point.
  void* GetProc(const char* name);

  // Copies of the last WSAStartup's WSADATA, taken whether it succeeded or not.
  bool Started() const { return started_; }
  winsock::WORD MaxSockets() const { return max_sockets_; }
  winsock::WORD MaxUdpDg() const { return max_udp_dg_; }
  winsock::WORD Version() const { return version_; }
  winsock::WORD HighVersion() const { return high_version_; }
  const std::string& Description() const { return description_; }
  const std::string& SystemStatus() const { return system_status_; }
  char* VendorInfo() const { return vendor_info_; }

 private:
  // One wrapper: calls the entry point through a cache that is filled by GetProc
  // on first use (and stays empty when that fails), then runs the binding's
  // follow-up, if any, with the result and the arguments. Adds no checking.
  template <typename Fn>
  class EntryPoint;
  template <typename Result, typename... Args>
  class EntryPoint<Result (*)(Args...)> {
   public:
    EntryPoint(tWinsockAPI& binding, const char* name) : binding_(binding), name_(name) {}
    EntryPoint(const EntryPoint&) = delete;
    EntryPoint& operator=(const EntryPoint&) = delete;

    Result operator()(Args... args) {
      if (cache_ == nullptr)
        cache_ = reinterpret_cast<Result (*)(Args...)>(binding_.GetProc(name_));
      if constexpr (std::is_void_v<Result>) {
        cache_(args...);
      } else {
        Result result = cache_(args...);
        if (follow_up_) follow_up_(result, args...);
        return result;
      }
    }
    // An entry point without a result (freeaddrinfo) never runs its follow-up.
    using FollowUpResult = std::conditional_t<std::is_void_v<Result>, int, Result>;
    void SetFollowUp(std::function<void(FollowUpResult, Args...)> follow_up) {
      follow_up_ = std::move(follow_up);
    }

   private:
    tWinsockAPI& binding_;
    const char* const name_;
    Result (*cache_)(Args...) = nullptr;
    std::function<void(FollowUpResult, Args...)> follow_up_;
  };

  void CopyWSAData(const winsock::WSADATA& data);

  void* library_handle_ = nullptr;
  std::string library_name_;
  bool started_ = false;
  winsock::WORD max_sockets_ = 0;
  winsock::WORD max_udp_dg_ = 0;
  winsock::WORD version_ = 0;
  winsock::WORD high_version_ = 0;
  std::string description_;
  std::string system_status_;
  char* vendor_info_ = nullptr;

 public:
  // The wrappers, one per entry point, named and called as the entry points:
  // binding.connect(s, name, 16). WSAStartup also takes the copies of WSADATA and
  // sets Started; a WSACleanup that returns 0 clears Started.
#define WINSOCK_DECLARE_WRAPPER(name, result, params) \
  EntryPoint<winsock::name##_fn> name{*this, #name};
  WINSOCK_ENTRY_POINTS(WINSOCK_DECLARE_WRAPPER)
  WINSOCK2_ENTRY_POINTS(WINSOCK_DECLARE_WRAPPER)
#undef WINSOCK_DECLARE_WRAPPER
};

}  // namespace sockets
