// ar::ARSceneObserver: the controller's observer of one tracked shape scene. It hands entry
// changes to the controller and caches the target last announced for the scene, which the
// controller reads and writes under its lock.
//
// Detaching (OnDestroy: the scene went away, the scene stopped being tracked, or the
// controller ends) unregisters it from the scene, takes it out from under the message loop
// and forgets controller and scene; a second detach does nothing. The cached target stays
// until the observer itself goes.
// Thread rules: notifications run on the message loop's thread; detaching may run on any.
#pragma once

#include <mutex>

#include "ar/ARTarget.h"
#include "du/SmartPtr.h"
#include "orl/Scene.h"
#include "orl/SceneObserver.h"

namespace ar {

class ARController;

class ARSceneObserver final : public orl::ShapeSceneObserver {
 public:
  ARSceneObserver() = default;

  // Puts the observer under the loader's message loop and registers it with `scene`.
  void Init(ARController* controller, const du::SmartPtr<orl::ShapeScene>& scene);
  void OnDestroy() override;
  void OnAnnoSetTableEntryChanged(const du::SmartPtr<orl::AnnoSetTableEntry>& entry) override;

  // The cached target; only under the controller's lock.
  const du::SmartPtr<ARTarget>& GetTarget() const { return target_; }
  void SetTarget(const du::SmartPtr<ARTarget>& target) { target_ = target; }

 private:
  ~ARSceneObserver() override = default;

  std::mutex mutex_;                     // guards controller_ and scene_
  ARController* controller_ = nullptr;   // not owning; null once detached
  du::SmartPtr<orl::ShapeScene> scene_;  // empty once detached
  du::SmartPtr<ARTarget> target_;
};

}  // namespace ar
