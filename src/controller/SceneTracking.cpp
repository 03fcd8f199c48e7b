// How the controller follows the host's scenes and tells which target belongs to which.
#include "ARSceneObserver.h"
#include "ControllerEvents.h"
#include "SceneMap.h"
#include "ar/ARController.h"
#include "dp/ScopedLock.h"
#include "orl/AnnoSetTable.h"

namespace ar {

void ARController::OnSceneAdded(const du::SmartPtr<orl::Scene>& scene) {
  const auto shapeScene = du::DynamicCast<orl::ShapeScene>(scene);
  if (!shapeScene) return;
  du::SmartPtr<orl::AnnoSetTableEntry> entry;
  if (!shapeScene->GetAnnotationSetTableEntry(entry)) return;
  const du::SmartPtr<ARSceneObserver> observer = new ARSceneObserver;
  observer->Init(this, shapeScene);
  {
    dp::ScopedWriter guard(GetRWLock());
    if (scenes_->Insert(shapeScene, observer)) {
      if (!loadedContent_)
        _LoadARContent(shapeScene, nullptr);  // the load's completion finds the target
      else
        AnnounceSceneTarget(*observer, shapeScene, entry, false);
      return;
    }
  }
  observer->OnDestroy();  // the scene is tracked already and keeps its first observer
}

void ARController::OnSceneRemoved(const du::SmartPtr<orl::Scene>& scene) {
  const auto shapeScene = du::DynamicCast<orl::ShapeScene>(scene);
  if (!shapeScene) return;
  du::SmartPtr<ARSceneObserver> observer;
  {
    dp::ScopedReader guard(GetRWLock());
    observer = scenes_->Find(shapeScene.get());
  }
  if (!observer) return;
  observer->OnDestroy();
  dp::ScopedWriter guard(GetRWLock());
  scenes_->Erase(shapeScene.get());
}

void ARController::OnAnnoSetTableEntryChanged(const du::SmartPtr<orl::Scene>& scene,
                                              const du::SmartPtr<orl::AnnoSetTableEntry>&) {
  const auto shapeScene = du::DynamicCast<orl::ShapeScene>(scene);
  if (!shapeScene) return;
  // The scene's entry as it is now, not as the notification saw it.
  du::SmartPtr<orl::AnnoSetTableEntry> entry;
  if (!shapeScene->GetAnnotationSetTableEntry(entry)) return;
  dp::ScopedWriter guard(GetRWLock());
  ARSceneObserver* observer = scenes_->Find(shapeScene.get());
  if (!observer) return;
  if (!loadedContent_)
    _LoadARContent(shapeScene, nullptr);
  else
    AnnounceSceneTarget(*observer, shapeScene, entry, true);
}

du::SmartPtr<ARTarget> ARController::GetTargetForScene(
    const du::SmartPtr<orl::Scene>& scene) const {
  const auto shapeScene = du::DynamicCast<orl::ShapeScene>(scene);
  if (!shapeScene) return nullptr;
  dp::ScopedReader guard(GetRWLock());
  const ARSceneObserver* observer = scenes_->Find(shapeScene.get());
  return observer ? observer->GetTarget() : nullptr;
}

void ARController::AnnounceSceneTarget(ARSceneObserver& observer,
                                       const du::SmartPtr<orl::ShapeScene>& scene,
                                       const du::SmartPtr<orl::AnnoSetTableEntry>& entry,
                                       bool postEmpty) {
  const du::SmartPtr<ARTarget> target = FindTarget(entry->GetName());
  if (target == observer.GetTarget()) return;
  if (!target && !postEmpty) return;
  observer.SetTarget(target);
  PostObservableEvent(
      events::ARTargetSceneEvent(GetBaseEventId() + SHOW_TARGET_FOR_SCENE_EVENT, target, scene),
      false);
}

}  // namespace ar
