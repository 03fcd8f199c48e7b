// dom::Observable: the list of an observable's observers and the posting of its events.
//
// Posting an event does not call anyone: the event writes one record into the proxy of every
// registered observer (optionally only those a filter accepts), and the message loop delivers
// the records later. An observer registered after a post does not hear that post; one
// unregistered after it does not either: its queued records are dropped, releasing their
// references.
// Thread rules: any thread. Posts to one observable are serialised, so every observer gets
// the records of two posts in the same order.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "ArHostExport.h"
#include "dom/ObserverProxy.h"
#include "du/SmartPtr.h"

namespace dom {

class ObservableEvent;
class Observer;

class ARHOST_API Observable {
 public:
  using Filter = bool (*)(Observer& observer);

  Observable(const Observable&) = delete;
  Observable& operator=(const Observable&) = delete;

  // False when `observer` is already registered, or `proxy` is empty or for another observer.
  bool AddObserver(Observer& observer, const du::SmartPtr<ObserverProxy>& proxy);
  // False when `observer` was not registered. Its queued records are dropped.
  bool RemoveObserver(const Observer& observer);
  // Detaches every observer; records already queued are still delivered.
  void DetachAllObservers();
  void PostEvent(const ObservableEvent& event, Filter filter = nullptr);
  std::size_t GetObserverCount() const;
  bool HasObserver(const Observer& observer) const;

 protected:
  Observable() = default;
  ~Observable();

 private:
  mutable std::mutex mutex_;
  std::vector<du::SmartPtr<ObserverProxy>> proxies_;  // in registration order
};

}  // namespace dom
