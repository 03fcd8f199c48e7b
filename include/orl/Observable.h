// orl::Observable: an object of the host whose changes its observers hear. It is guarded by a
// counted lock (shared with other objects if it was built from one) and posts events through
// the host's messaging: PostObservableEvent records the event once per registered observer,
// and the message loop later delivers each record to that observer's HandleEvent.
//
// Event tags: the host uses the tags below GetNextEventId() (begin and end of an update group,
// destruction); a subclass numbers its own events from GetNextEventId() up.
//
// Registration: _RegisterObserver adds the observer and, when given an init helper, runs it
// before returning, so that the new observer can be told the current state directly. An
// observer registered while records are queued hears only what is posted after it.
// DoUnregisterObserver drops its queued records.
//
// Destruction protocol: Destroy() runs _OnDestroy, tells every observer (OnDestroy, through
// the loop), unregisters them and runs _OnPostDestroy; a second Destroy does nothing.
// Thread rules: any thread. Callers hold the object's lock as their own rules require; the
// observer list has its own guard.
#pragma once

#include <atomic>
#include <cstddef>

#include "ArHostExport.h"
#include "dom/Observable.h"
#include "dom/ObserverProxy.h"
#include "du/SmartPtr.h"
#include "orl/ObjectWithRWLock.h"

namespace dom {
class ObservableEvent;
}

namespace orl {

class ARHOST_API Observable : private dom::Observable, public ObjectWithRWLock {
 public:
  static constexpr unsigned char kBeginUpdateEvent = 0;
  static constexpr unsigned char kEndUpdateEvent = 1;
  static constexpr unsigned char kDestroyEvent = 2;
  // The first tag not used by the host's own events.
  static unsigned char GetNextEventId();

  // Runs once inside _RegisterObserver, after the observer is registered.
  class ARHOST_API _RegisterInitHelper {
   public:
    virtual void InitObserver() = 0;

   protected:
    ~_RegisterInitHelper() = default;
  };

  // The usual helper: calls observable->_InitObserver(*observer). The observable may keep
  // _InitObserver private and befriend this helper.
  template <class TObservable, class TObserver>
  class DefaultRegisterInitHelper final : public _RegisterInitHelper {
   public:
    DefaultRegisterInitHelper(TObservable* observable, TObserver* observer)
        : observable_(observable), observer_(observer) {}
    void InitObserver() override { observable_->_InitObserver(*observer_); }

   private:
    TObservable* observable_;
    TObserver* observer_;
  };

  // A scope in which an observable makes several changes. Observers that require begin/end
  // hear OnBeginUpdate when the outermost group of the observable opens and OnEndUpdate when
  // it closes; nested groups add nothing.
  class ARHOST_API UpdateGroup {
   public:
    explicit UpdateGroup(Observable* observable);
    ~UpdateGroup();
    UpdateGroup(const UpdateGroup&) = delete;
    UpdateGroup& operator=(const UpdateGroup&) = delete;

   private:
    Observable* observable_;
  };

  std::size_t GetObserverCount() const { return dom::Observable::GetObserverCount(); }
  bool IsObserver(const dom::Observer& o) const { return dom::Observable::HasObserver(o); }
  void Destroy();

 protected:
  explicit Observable(const du::SmartPtr<ReadWriteLock>& lock);
  ~Observable() override;

  // Records `event` for every registered observer; with `onlyBeginEndObservers`, only for
  // those whose RequiresBeginEnd() is true (how the host's update events travel).
  void PostObservableEvent(const dom::ObservableEvent& event, bool onlyBeginEndObservers);
  // False when the observer is already registered or `proxy` is not its proxy; the helper,
  // if any, runs only on success. If the helper throws, the registration is undone.
  bool _RegisterObserver(dom::Observer& observer, const du::SmartPtr<dom::ObserverProxy>& proxy,
                         _RegisterInitHelper* helper);
  // False when the observer was not registered. Calls its OnUnregister after removal.
  bool DoUnregisterObserver(dom::Observer& observer);

  virtual void _OnDestroy() = 0;
  virtual void _OnPostDestroy() {}

 private:
  std::atomic<int> updateDepth_{0};
  std::atomic<bool> destroyed_{false};
};

}  // namespace orl
