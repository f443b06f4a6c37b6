// Lets code that raised an event find out afterwards whether the object it runs
// in still exists: any handler may free it.
#pragma once

#include <memory>
#include <utility>

namespace sockets {

class TLiveness {
 public:
  // True while the watched object exists; a default watch watches nothing.
  class TWatch {
   public:
    TWatch() = default;
    explicit operator bool() const { return flag_ && *flag_; }

   private:
    friend class TLiveness;
    explicit TWatch(std::shared_ptr<const bool> flag) : flag_(std::move(flag)) {}
    std::shared_ptr<const bool> flag_;
  };

  TLiveness() = default;
  ~TLiveness() { *flag_ = false; }
  TLiveness(const TLiveness&) = delete;
  TLiveness& operator=(const TLiveness&) = delete;

  TWatch Watch() const { return TWatch(flag_); }

 private:
  std::shared_ptr<bool> flag_ = std::make_shared<bool>(true);
};

}  // namespace sockets
