// How observers join and leave the controller, and what a new observer is told.
#include <vector>

#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "ar/ARTarget.h"
#include "dom/ObserverProxy.h"
#include "dp/ScopedLock.h"

namespace ar {

bool ARController::RegisterObserver(ARControllerObserver& observer, bool init) {
  // The proxy comes from the host's common allocator (dom::ObserverProxy is CommonAllocated).
  const du::SmartPtr<dom::ObserverProxy> proxy = new dom::ObserverProxy(observer);
  DefaultRegisterInitHelper<ARController, ARControllerObserver> helper(this, &observer);
  dp::ScopedWriter guard(GetRWLock());
  return _RegisterObserver(observer, proxy, init ? &helper : nullptr);
}

bool ARController::DeregisterObserver(ARControllerObserver& observer) {
  return DoUnregisterObserver(observer);
}

void ARController::_InitObserver(ARControllerObserver& observer) {
  // Runs under RegisterObserver's write lock. The walk goes over a copy: the observer may
  // change the registry from inside OnTargetCreate.
  const std::vector<du::SmartPtr<ARTarget>> registered(targets_.begin(), targets_.end());
  for (const auto& target : registered) {
    du::SmartPtr<ARTarget> local = target;
    observer.OnTargetCreate(local);
  }
}

}  // namespace ar
