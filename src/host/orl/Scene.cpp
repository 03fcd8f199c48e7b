#include "orl/Scene.h"

#include "dom/ObserverProxy.h"
#include "orl/AnnoSetTable.h"
#include "orl/Annotation.h"
#include "orl/HostEvents.h"

namespace orl {

Scene::Scene() : Observable(Annotation::GetRWLock()) {}

Scene::~Scene() = default;

du::SmartPtr<Scene> Scene::Create() { return du::SmartPtr<Scene>(new Scene); }

bool Scene::GetAnnotationSetTableEntry(du::SmartPtr<AnnoSetTableEntry>& out) const {
  std::lock_guard lock(mutex_);
  out = entry_;
  return static_cast<bool>(out);
}

void Scene::SetAnnotationSetTableEntry(const du::SmartPtr<AnnoSetTableEntry>& entry) {
  du::SmartPtr<AnnoSetTableEntry> previous;  // released after the guard
  std::lock_guard lock(mutex_);
  previous = std::move(entry_);
  entry_ = entry;
  PostObservableEvent(PointerEvent<AnnoSetTableEntry>(kAnnoSetTableEntryChangedEvent, entry_),
                      false);
}

du::SmartPtr<ShapeScene> ShapeScene::Create() { return du::SmartPtr<ShapeScene>(new ShapeScene); }

bool ShapeScene::RegisterObserver(dom::Observer& observer, const du::Flags&, bool) {
  return _RegisterObserver(observer, new dom::ObserverProxy(observer), nullptr);
}

bool ShapeScene::UnregisterObserver(dom::Observer& observer) {
  return DoUnregisterObserver(observer);
}

}  // namespace orl
