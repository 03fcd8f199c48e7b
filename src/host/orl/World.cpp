#include "orl/World.h"

#include <mutex>

#include "orl/Annotation.h"

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
