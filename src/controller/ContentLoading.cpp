// How the controller loads the world's "ARTargets" set and takes its targets.
#include "ARSceneObserver.h"
#include "ARTargetsSet.h"
#include "LoadAnnoSetEvent.h"
#include "SceneMap.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "dp/ScopedLock.h"
#include "orlloader/Loader.h"

namespace ar {

namespace {

// The AR content of the world's "ARTargets" set; empty when there is no such set or its
// content is of another kind.
du::SmartPtr<ARContent> ARTargetsContent() {
  const du::SmartPtr<orl::AnnoSetTable> table = sets::WorldAnnoSetTable();
  if (!table) return nullptr;
  const du::SmartPtr<orl::AnnoSetTableEntry> entry = sets::FindARTargetsEntry(table);
  return entry ? du::DynamicCast<ARContent>(entry->GetContent()) : nullptr;
}

}  // namespace

void ARController::_LoadARContent(const du::SmartPtr<orl::ShapeScene>& scene,
                                  orl::AsyncEvent* event) {
  const du::SmartPtr<orlloader::Loader> loader = orlloader::Loader::GetLoader();
  const du::SmartPtr<orl::AnnoSetTable> table = sets::WorldAnnoSetTable();
  if (!table) return sets::FailEvent(event);
  const du::SmartPtr<orl::AnnoSetTableEntry> entry = sets::FindARTargetsEntry(table);
  if (!entry) return sets::CompleteEvent(event);  // nothing to load is not a failure
  const du::SmartPtr<LoadAnnoSetEvent> load = new LoadAnnoSetEvent(this, scene, event);
  loader->ManageObject(load.get());
  loader->LoadAnnotation(table, entry, load.get());
}

void ARController::OnLoadComplete(const du::SmartPtr<orl::ShapeScene>& scene,
                                  const du::SmartPtr<orl::AsyncEvent>& event) {
  du::SmartPtr<orl::AnnoSetTableEntry> sceneEntry;
  if (scene) scene->GetAnnotationSetTableEntry(sceneEntry);
  dp::ScopedWriter guard(GetRWLock());
  orl::Observable::UpdateGroup group(this);
  // Content already loaded is never loaded or announced again: this completion only finishes
  // its own scene or show.
  if (!loadedContent_) {
    du::SmartPtr<ARContent> content = ARTargetsContent();
    if (!content) return sets::FailEvent(event.get());
    loadedContent_ = content;
    loadedContent_->GetTargets(targets_);  // what was registered before goes without a word
    for (const auto& target : targets_) PostTargetEvent(TARGET_CREATE_EVENT, target);
  } else if (const auto table = sets::WorldAnnoSetTable()) {
    sets::KeepLoadedContent(sets::FindARTargetsEntry(table), loadedContent_);
  }
  if (scene) {
    ARSceneObserver* observer = scenes_->Find(scene.get());
    if (observer && sceneEntry) AnnounceSceneTarget(*observer, scene, sceneEntry, false);
  } else if (!shown_) {
    return _ShowTargetsAfterLoad(event.get());
  }
  sets::CompleteEvent(event.get());
}

void ARController::_ShowTargetsAfterLoad(orl::AsyncEvent* event) {
  shown_ = true;
  sets::CompleteEvent(event);
  PostBoolEvent(SHOW_TARGETS_EVENT, true);
}

}  // namespace ar
