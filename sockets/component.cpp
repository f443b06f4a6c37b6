// Ownership of components.
#include "sockets/component.h"

#include <algorithm>

namespace sockets {

TComponent::TComponent(TComponent* AOwner)
    : Owner_(AOwner), Designing_(AOwner != nullptr && AOwner->Designing()) {
  if (Owner_ != nullptr) Owner_->Components_.push_back(this);
}

TComponent::~TComponent() {
  // Each owned component takes itself off the list as it goes.
  while (!Components_.empty()) delete Components_.back();
  if (Owner_ != nullptr) std::erase(Owner_->Components_, this);
}

}  // namespace sockets
