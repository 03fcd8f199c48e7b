// du::SmartPtr<T> and du::ConstSmartPtr<T>: holders of one counted reference to a
// du::RefCounted object (T may reach RefCounted through a virtual base).
//
// Assignment takes the new reference before it releases the old one, so assigning a pointer
// that only the old object kept alive is safe; assigning the pointer already held does nothing.
// A holder is not thread-safe itself; the object's count is.
#pragma once

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

namespace du {

template <class T>
class SmartPtr {
 public:
  using element_type = T;

  SmartPtr() noexcept = default;
  SmartPtr(std::nullptr_t) noexcept {}
  SmartPtr(T* object) : object_(object) { Acquire(); }  // NOLINT: raw pointers convert
  SmartPtr(const SmartPtr& other) : object_(other.object_) { Acquire(); }
  SmartPtr(SmartPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  SmartPtr(const SmartPtr<U>& other) : object_(other.get()) {  // NOLINT: upcasts convert
    Acquire();
  }
  ~SmartPtr() { Release(object_); }

  SmartPtr& operator=(T* object) {
    if (object == object_) return *this;
    T* old = object_;
    object_ = object;
    Acquire();
    Release(old);
    return *this;
  }
  SmartPtr& operator=(const SmartPtr& other) { return *this = other.object_; }
  SmartPtr& operator=(SmartPtr&& other) noexcept {
    if (this != &other) Release(std::exchange(object_, std::exchange(other.object_, nullptr)));
    return *this;
  }
  SmartPtr& operator=(std::nullptr_t) {
    Release(std::exchange(object_, nullptr));
    return *this;
  }

  T* get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  T& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }
  bool IsNull() const noexcept { return object_ == nullptr; }

  friend bool operator==(const SmartPtr& a, const SmartPtr& b) { return a.object_ == b.object_; }
  friend bool operator==(const SmartPtr& a, const T* b) { return a.object_ == b; }
  friend bool operator==(const SmartPtr& a, std::nullptr_t) { return a.object_ == nullptr; }
  // Ordered by the object's address.
  friend bool operator<(const SmartPtr& a, const SmartPtr& b) {
    return std::less<T*>()(a.object_, b.object_);
  }

 private:
  void Acquire() const {
    if (object_) object_->AddReference(this);
  }
  void Release(T* object) const {
    if (object) object->RemoveReference(this);
  }

  T* object_ = nullptr;
};

template <class T>
using ConstSmartPtr = SmartPtr<const T>;

// A run-time checked downcast that shares ownership; empty when `from` is not a T.
template <class T, class U>
SmartPtr<T> DynamicCast(const SmartPtr<U>& from) {
  return SmartPtr<T>(dynamic_cast<T*>(from.get()));
}

}  // namespace du

template <class T>
struct std::hash<du::SmartPtr<T>> {
  std::size_t operator()(const du::SmartPtr<T>& p) const noexcept {
    return std::hash<T*>()(p.get());
  }
};
