// TSocketList: socket objects in the order they were added, owned by the list.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "sockets/socket_base.h"

namespace sockets {

class TSocketList {
 public:
  std::size_t Count() const { return items_.size(); }
  TSocketBase* Items(std::size_t index) const { return items_.at(index).get(); }

  // Where the list holds `socket`, compared by address only: a pointer to a
  // freed object may be asked for and is never followed.
  std::optional<std::size_t> IndexOf(const TSocketBase* socket) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].get() == socket) return i;
    }
    return std::nullopt;
  }

  TSocketBase* Add(std::unique_ptr<TSocketBase> socket) {
    items_.push_back(std::move(socket));
    return items_.back().get();
  }
  // Takes the object out of the list; the caller owns it from then on.
  std::unique_ptr<TSocketBase> Extract(std::size_t index) {
    std::unique_ptr<TSocketBase> socket = std::move(items_.at(index));
    items_.erase(items_.begin() + std::ptrdiff_t(index));
    return socket;
  }

 private:
  std::vector<std::unique_ptr<TSocketBase>> items_;
};

}  // namespace sockets
