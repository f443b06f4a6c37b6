// Creating socket objects through a class reference, and class ancestry.
#include "sockets/socket_class.h"

#include "sockets/socket_base.h"

namespace sockets {

std::unique_ptr<TSocketBase> TSocketClass::Create(TSockCtrl* Owner) const {
  if (info_ == nullptr) return nullptr;
  return std::unique_ptr<TSocketBase>(info_->create(Owner));
}

bool TSocketClass::InheritsFrom(TSocketClass ancestor) const {
  if (info_ == nullptr || ancestor.info_ == nullptr) return false;
  return *this == ancestor || ancestor.info_->catches_pointer(info_->throw_pointer);
}

}  // namespace sockets
