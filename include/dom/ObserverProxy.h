// dom::ObserverProxy: the observable's handle on one registered observer. It records one
// notification at a time (Begin, Push..., End); End hands the record to the message loop,
// which later delivers it to the observer's HandleMessage. Records reach an observer in the
// order they were ended.
//
// The proxy keeps its observer alive. Once detached it drops whatever it records; records
// already queued are delivered unless their owner discards them (see dom::Observable).
// Proxies come from the common allocator. Thread rules: one recording at a time per proxy
// (the observable serialises its posters); Detach and delivery may run on any thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "ArHostExport.h"
#include "dom/MessageRecord.h"
#include "dom/Observer.h"
#include "du/CommonAllocator.h"
#include "du/RefCounted.h"
#include "du/SmartPtr.h"

namespace dom {

class ARHOST_API ObserverProxy : public virtual du::RefCounted, public du::CommonAllocated {
 public:
  explicit ObserverProxy(const Observer& observer);

  void Begin();
  void PushUInt8Value(std::uint8_t value);
  void PushBooleanValue(bool value);
  // `object` is the pointer the receiver gets back; `counted` is its counted base, on which
  // the pusher has taken one reference (tag du::kRecordOwnerTag) that the record now owns.
  // Both are null for an empty pointer.
  void PushSmartPtr(void* object, const du::RefCounted* counted);
  // Pushes `pointer` with a reference of the record's own; the receiver reads it back as a T
  // (MessageReader::GetSmartPtr). An empty pointer travels as null.
  template <class T>
  void PushSmartPtr(const du::SmartPtr<T>& pointer) {
    T* object = pointer.get();
    const du::RefCounted* counted = object;
    if (counted) counted->AddReference(du::kRecordOwnerTag);
    PushSmartPtr(static_cast<void*>(object), counted);
  }
  void End();

  Observer* GetObserver() const { return observer_.get(); }
  void Detach() { attached_.store(false, std::memory_order_release); }
  bool IsAttached() const { return attached_.load(std::memory_order_acquire); }

  // Called by the message loop: hands `record` to the observer.
  void Deliver(MessageRecord& record);

 protected:
  ~ObserverProxy() override = default;

 private:
  du::SmartPtr<Observer> observer_;
  std::atomic<bool> attached_{true};
  MessageRecord current_;
};

}  // namespace dom
