#include "orl/Observable.h"

#include "orl/HostEvents.h"
#include "orl/Observer.h"

namespace orl {

namespace {

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
  PostEvent(TagEvent(kDestroyEvent));
  DetachAllObservers();
  _OnPostDestroy();
}

Observable::UpdateGroup::UpdateGroup(Observable* observable) : observable_(observable) {
  if (observable_ && observable_->updateDepth_.fetch_add(1) == 0)
    observable_->PostObservableEvent(TagEvent(kBeginUpdateEvent), true);
}

Observable::UpdateGroup::~UpdateGroup() {
  if (observable_ && observable_->updateDepth_.fetch_sub(1) == 1)
    observable_->PostObservableEvent(TagEvent(kEndUpdateEvent), true);
}

}  // namespace orl
