// The events the host's own observables post: a bare tag, or a tag and one counted pointer
// that the record carries with a reference of its own. Internal to the host runtime.
#pragma once

#include "dom/ObservableEvent.h"
#include "dom/ObserverProxy.h"
#include "du/SmartPtr.h"

namespace orl {

class TagEvent final : public dom::ObservableEvent {
 public:
  explicit TagEvent(unsigned char tag) : tag_(tag) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(tag_);
    proxy.End();
  }

 private:
  unsigned char tag_;
};

// The receiver reads the pointer back as a T (dom::MessageReader::GetSmartPtr<T>).
template <class T>
class PointerEvent final : public dom::ObservableEvent {
 public:
  PointerEvent(unsigned char tag, const du::SmartPtr<T>& pointer) : tag_(tag), pointer_(pointer) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(tag_);
    proxy.PushSmartPtr(pointer_);
    proxy.End();
  }

 private:
  unsigned char tag_;
  const du::SmartPtr<T>& pointer_;  // the poster's, valid during the post
};

}  // namespace orl
