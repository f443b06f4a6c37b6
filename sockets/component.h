// TComponent: the base of the non-visual components. An owner destroys what it
// owns; a component has a name and may be in design mode.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sockets/liveness.h"

namespace sockets {

class TComponent {
 public:
  // A component with an owner is created with new: the owner deletes it. Design
  // mode is taken from the owner.
  explicit TComponent(TComponent* AOwner);
  // Destroys the owned components, the last one first.
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return Owner_; }
  std::size_t ComponentCount() const { return Components_.size(); }
  TComponent* Components(std::size_t index) const { return Components_.at(index); }

  const std::string& Name() const { return Name_; }
  void SetName(const std::string& value) { Name_ = value; }

  // Being designed: only property values are kept; no window, no library.
  bool Designing() const { return Designing_; }
  void SetDesigning(bool value) { Designing_ = value; }

  TLiveness::TWatch Watch() const { return liveness_.Watch(); }

 private:
  TComponent* Owner_;
  std::vector<TComponent*> Components_;
  std::string Name_;
  bool Designing_;
  TLiveness liveness_;
};

}  // namespace sockets
