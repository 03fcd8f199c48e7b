#include "orl/World.h"

#include <algorithm>
#include <mutex>

#include "dom/ObserverProxy.h"
#include "orl/Annotation.h"
#include "orl/HostEvents.h"

namespace orl {

namespace {

std::mutex g_mutex;
du::SmartPtr<World>* g_world = nullptr;  // allocated on first use, never destroyed

du::SmartPtr<World>& Slot() {
  if (!g_world) g_world = new du::SmartPtr<World>;
  return *g_world;
}

}  // namespace

bool Instance::GetUniqueId(du::Symbol& id) const {
  id = uniqueId_;
  return !uniqueId_.empty();
}

void Instance::SetUniqueId(const du::Symbol& id) { uniqueId_ = id; }

Tree::Tree() : root_(new Instance) {}

World::World() : Observable(Annotation::GetRWLock()), tree_(new Tree) {}

du::SmartPtr<AnnoSetTable> World::GetAnnoSetTable() const {
  std::lock_guard lock(mutex_);
  return annoSetTable_;
}

void World::SetAnnoSetTable(const du::SmartPtr<AnnoSetTable>& table) {
  du::SmartPtr<AnnoSetTable> previous;  // released after the guard
  std::lock_guard lock(mutex_);
  previous = std::move(annoSetTable_);
  annoSetTable_ = table;
}

bool World::RegisterObserver(const du::SmartPtr<WorldObserver>& observer, bool init) {
  if (!observer) return false;
  DefaultRegisterInitHelper<World, WorldObserver> helper(this, observer.get());
  return _RegisterObserver(*observer, new dom::ObserverProxy(*observer), init ? &helper : nullptr);
}

void World::_InitObserver(WorldObserver& observer) {
  // The observer is registered already, so a scene added meanwhile reaches it through the loop
  // as well; the walk goes over a copy so that the observer may change the world.
  for (const auto& scene : GetScenes()) observer.OnSceneAdded(scene);
}

bool World::DeregisterObserver(const du::SmartPtr<WorldObserver>& observer) {
  return observer && DoUnregisterObserver(*observer);
}

bool World::AddScene(const du::SmartPtr<Scene>& scene) {
  if (!scene) return false;
  std::lock_guard lock(mutex_);
  const bool added = std::find(scenes_.begin(), scenes_.end(), scene) == scenes_.end();
  if (added) scenes_.push_back(scene);
  PostObservableEvent(PointerEvent<Scene>(kSceneAddedEvent, scene), false);
  return added;
}

bool World::RemoveScene(const du::SmartPtr<Scene>& scene) {
  const du::SmartPtr<Scene> removed = scene;  // `scene` may be the world's own element
  std::lock_guard lock(mutex_);
  auto found = std::find(scenes_.begin(), scenes_.end(), removed);
  if (!removed || found == scenes_.end()) return false;
  scenes_.erase(found);
  PostObservableEvent(PointerEvent<Scene>(kSceneRemovedEvent, removed), false);
  return true;
}

std::vector<du::SmartPtr<Scene>> World::GetScenes() const {
  std::lock_guard lock(mutex_);
  return scenes_;
}

void World::InitWorld() {
  std::lock_guard lock(mutex_);
  PostObservableEvent(TagEvent(kWorldInitEvent), false);
}

void World::ResetWorld() {
  std::lock_guard lock(mutex_);
  PostObservableEvent(TagEvent(kWorldResetEvent), false);
}

void World::_OnDestroy() {
  std::vector<du::SmartPtr<Scene>> ending;
  {
    std::lock_guard lock(mutex_);
    ending.swap(scenes_);
  }
  for (const auto& scene : ending) scene->Destroy();
}

du::SmartPtr<World> World::GetWorld() {
  std::lock_guard lock(g_mutex);
  if (!Slot()) Slot() = new World;
  return Slot();
}

void World::EndWorld() {
  du::SmartPtr<World> ended;
  {
    std::lock_guard lock(g_mutex);
    ended = std::move(Slot());
  }
  if (ended) ended->Destroy();
}

}  // namespace orl
