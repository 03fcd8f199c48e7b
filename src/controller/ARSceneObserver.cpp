#include "ARSceneObserver.h"

#include "ar/ARController.h"
#include "orlloader/Loader.h"

namespace ar {

void ARSceneObserver::Init(ARController* controller, const du::SmartPtr<orl::ShapeScene>& scene) {
  {
    std::lock_guard lock(mutex_);
    controller_ = controller;
    scene_ = scene;
  }
  orlloader::Loader::GetLoader()->ManageObject(du::SmartPtr<dom::ManagedObject>(this));
  scene->RegisterObserver(*this, du::Flags(), false);
}

void ARSceneObserver::OnDestroy() {
  du::SmartPtr<orl::ShapeScene> scene;
  {
    std::lock_guard lock(mutex_);
    if (!controller_) return;
    controller_ = nullptr;
    scene = std::move(scene_);
  }
  const du::SmartPtr<ARSceneObserver> self(this);  // leaving the loop may drop a last holder
  // Outside the guard: unregistering drops queued notifications, which may release the last
  // reference to something that calls back.
  scene->UnregisterObserver(*this);
  // A detached observer hears nothing more, so the loop need not keep it (and, through it, the
  // scene's target) until shutdown.
  dom::ManagedObject::UnmanageObject(this);
}

void ARSceneObserver::OnAnnoSetTableEntryChanged(
    const du::SmartPtr<orl::AnnoSetTableEntry>& entry) {
  ARController* controller = nullptr;
  du::SmartPtr<orl::Scene> scene;
  {
    std::lock_guard lock(mutex_);
    controller = controller_;
    scene = scene_.get();
  }
  if (controller) controller->OnAnnoSetTableEntryChanged(scene, entry);
}

}  // namespace ar
