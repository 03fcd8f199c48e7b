#include "dom/Observable.h"

#include <algorithm>

#include "dom/MessageLoop.h"
#include "dom/ObservableEvent.h"

namespace dom {

Observable::~Observable() { DetachAllObservers(); }

bool Observable::AddObserver(Observer& observer, const du::SmartPtr<ObserverProxy>& proxy) {
  if (!proxy || proxy->GetObserver() != &observer) return false;
  std::lock_guard lock(mutex_);
  for (const auto& p : proxies_)
    if (p->GetObserver() == &observer) return false;
  proxies_.push_back(proxy);
  return true;
}

bool Observable::RemoveObserver(const Observer& observer) {
  du::SmartPtr<ObserverProxy> removed;
  {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(proxies_.begin(), proxies_.end(),
                              [&](const auto& p) { return p->GetObserver() == &observer; });
    if (found == proxies_.end()) return false;
    removed = std::move(*found);
    proxies_.erase(found);
    removed->Detach();
  }
  // Outside our mutex: dropping records releases references, which may run destructors.
  MessageLoop::Get().Discard(removed.get());
  return true;
}

void Observable::DetachAllObservers() {
  std::vector<du::SmartPtr<ObserverProxy>> detached;
  {
    std::lock_guard lock(mutex_);
    detached.swap(proxies_);
  }
  // Queued records keep their proxies alive and are still delivered; only new records stop.
  for (auto& proxy : detached) proxy->Detach();
}

void Observable::PostEvent(const ObservableEvent& event, Filter filter) {
  std::lock_guard lock(mutex_);
  for (const auto& proxy : proxies_) {
    if (filter && !filter(*proxy->GetObserver())) continue;
    event.PushToProxy(*proxy);
  }
}

std::size_t Observable::GetObserverCount() const {
  std::lock_guard lock(mutex_);
  return proxies_.size();
}

bool Observable::HasObserver(const Observer& observer) const {
  std::lock_guard lock(mutex_);
  return std::any_of(proxies_.begin(), proxies_.end(),
                     [&](const auto& p) { return p->GetObserver() == &observer; });
}

}  // namespace dom
