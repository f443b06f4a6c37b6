// TSocketClass: a reference to a socket class, as a small value. It creates
// socket objects of that class for a control and tells whether the class derives
// from another; later socket classes plug in without the control knowing them.
#pragma once

#include <memory>
#include <type_traits>

namespace sockets {

class TSocketBase;
class TSockCtrl;

class TSocketClass {
 public:
  // No class.
  constexpr TSocketClass() = default;

  template <typename T>
  static TSocketClass Of() {
    static_assert(std::is_base_of_v<TSocketBase, T>);
    return TSocketClass(&kInfo<T>);
  }

  explicit operator bool() const { return info_ != nullptr; }
  bool operator==(const TSocketClass&) const = default;

  // A new object of the class, owned by the caller; none when there is no class.
  std::unique_ptr<TSocketBase> Create(TSockCtrl* Owner) const;
  // True when the class is `ancestor` or derives from it.
  bool InheritsFrom(TSocketClass ancestor) const;

 private:
  struct TInfo {
    TSocketBase* (*create)(TSockCtrl*);
    void (*throw_pointer)();
    bool (*catches_pointer)(void (*thrower)());
  };

  // Exception matching is the one place where C++ compares two class hierarchies
  // known only at run time: a thrown T* is caught as A* exactly when A is T or one
  // of its public bases.
  template <typename T>
  static TSocketBase* CreateInstance(TSockCtrl* owner) {
    return new T(owner);
  }
  template <typename T>
  [[noreturn]] static void ThrowPointer() {
    throw static_cast<T*>(nullptr);
  }
  template <typename T>
  static bool CatchesPointer(void (*thrower)()) {
    try {
      thrower();
    } catch (T*) {
      return true;
    } catch (...) {
    }
    return false;
  }
  template <typename T>
  static constexpr TInfo kInfo{&CreateInstance<T>, &ThrowPointer<T>, &CatchesPointer<T>};

  explicit constexpr TSocketClass(const TInfo* info) : info_(info) {}

  const TInfo* info_ = nullptr;
};

}  // namespace sockets
