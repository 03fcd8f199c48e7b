#include "orl/Observable.h"

#include "dom/ObservableEvent.h"
#include "orl/Observer.h"

namespace orl {

namespace {

// The host's own events carry nothing but their tag.
class HostEvent final : public dom::ObservableEvent {
 public:
  explicit HostEvent(unsigned char tag) : tag_(tag) {}
  void PushToProxy(dom::ObserverProxy& proxy) const override {
    proxy.Begin();
    proxy.PushUInt8Value(tag_);
    proxy.End();
  }

 private:
  unsigned char tag_;
};

bool RequiresBeginEnd(dom::Observer& observer) {
  auto* o = dynamic_cast<Observer*>(&observer);
  return o && o->RequiresBeginEnd();
}

}  // namespace

unsigned char Observable::GetNextEventId() { return kDestroyEvent + 1; }

Observable::Observable(const du::SmartPtr<ReadWriteLock>& lock) : ObjectWithRWLock(lock) {}

Observable::~Observable() = default;

void Observable::PostObservableEvent(const dom::ObservableEvent& event,
                                     bool onlyBeginEndObservers) {
  PostEvent(event, onlyBeginEndObservers ? &RequiresBeginEnd : nullptr);
}

bool Observable::_RegisterObserver(dom::Observer& observer,
                                   const du::SmartPtr<dom::ObserverProxy>& proxy,
                                   _RegisterInitHelper* helper) {
  if (!AddObserver(observer, proxy)) return false;
  if (!helper) return true;
  try {
    helper->InitObserver();
  } catch (...) {
    RemoveObserver(observer);
    throw;
  }
  return true;
}

bool Observable::DoUnregisterObserver(dom::Observer& observer) {
  if (!RemoveObserver(observer)) return false;
  if (auto* o = dynamic_cast<Observer*>(&observer)) o->OnUnregister();
  return true;
}

void Observable::Destroy() {
  if (destroyed_.exchange(true)) return;
  _OnDestroy();
  PostEvent(HostEvent(kDestroyEvent));
  DetachAllObservers();
  _OnPostDestroy();
}

Observable::UpdateGroup::UpdateGroup(Observable* observable) : observable_(observable) {
  if (observable_ && observable_->updateDepth_.fetch_add(1) == 0)
    observable_->PostObservableEvent(HostEvent(kBeginUpdateEvent), true);
}

Observable::UpdateGroup::~UpdateGroup() {
  if (observable_ && observable_->updateDepth_.fetch_sub(1) == 1)
    observable_->PostObservableEvent(HostEvent(kEndUpdateEvent), true);
}

}  // namespace orl
