// ar::ARControllerObserver: the base of whatever wants to hear about AR targets. Derive from
// it, override the notifications you care about (each does nothing by default) and OnDestroy,
// and register with ARController::RegisterObserver.
//
// Notifications arrive through the host's message loop, on the thread that runs it, in the
// order the controller posted them; a target or scene passed to a notification is held by the
// notification, so a removed target is still valid when OnTargetDestroy arrives. Only the
// initial OnTargetCreate calls of a registration with `init` are direct calls, made on the
// registering thread under the controller's lock.
//
// A malformed record makes HandleEvent throw std::runtime_error, which reaches whoever runs
// the message loop.
#pragma once

#include "ar/ARExport.h"
#include "du/SmartPtr.h"
#include "orl/Observer.h"

namespace orl {
class ShapeScene;
}

namespace ar {

class ARTarget;

class AR_API ARControllerObserver : public orl::Observer {
 public:
  ARControllerObserver();

  void OnBeginUpdate() override;
  void OnEndUpdate() override;

  // Loaded targets were dropped (the world was reset).
  virtual void OnReset();
  virtual void OnTargetCreate(du::SmartPtr<ARTarget>& target);
  virtual void OnTargetDestroy(du::SmartPtr<ARTarget>& target);
  virtual void OnTargetDestroyAll();
  virtual void OnTargetChanged(du::SmartPtr<ARTarget>& target);
  virtual void OnShowTargets(bool shown);
  virtual void OnTargetMoved(du::SmartPtr<ARTarget>& target);
  // `target` may be empty: the scene no longer has a target.
  virtual void OnShowTargetForScene(du::SmartPtr<ARTarget>& target,
                                    du::SmartPtr<orl::ShapeScene>& scene);

 protected:
  ~ARControllerObserver() override;

 private:
  void HandleEvent(unsigned char tag, dom::MessageReader& reader) override;
};

}  // namespace ar
