#include "SceneMap.h"

#include <cstdint>
#include <utility>

#include "du/HashNextPrime.h"

namespace ar {

SceneMap::SceneMap() : buckets_(du::HashNextPrime(100)) {}

std::size_t SceneMap::BucketOf(const orl::ShapeScene* scene) const {
  return (reinterpret_cast<std::uintptr_t>(scene) >> 2) % buckets_.size();
}

const SceneMap::Entry* SceneMap::FindEntry(const orl::ShapeScene* scene) const {
  for (const Entry& entry : buckets_[BucketOf(scene)])
    if (entry.scene.get() == scene) return &entry;
  return nullptr;
}

ARSceneObserver* SceneMap::Find(const orl::ShapeScene* scene) const {
  const Entry* entry = FindEntry(scene);
  return entry ? entry->observer.get() : nullptr;
}

bool SceneMap::Insert(const du::SmartPtr<orl::ShapeScene>& scene,
                      const du::SmartPtr<ARSceneObserver>& observer) {
  if (FindEntry(scene.get())) return false;
  if (size_ + 1 > buckets_.size()) {
    const std::size_t grown = du::HashNextPrime(size_ + 1);
    if (grown > buckets_.size()) Rehash(grown);
  }
  buckets_[BucketOf(scene.get())].push_back(Entry{scene, observer});
  ++size_;
  return true;
}

bool SceneMap::Erase(const orl::ShapeScene* scene) {
  Bucket& bucket = buckets_[BucketOf(scene)];
  for (auto it = bucket.begin(); it != bucket.end(); ++it) {
    if (it->scene.get() != scene) continue;
    bucket.erase(it);
    --size_;
    return true;
  }
  return false;
}

std::vector<du::SmartPtr<ARSceneObserver>> SceneMap::TakeObservers() {
  std::vector<du::SmartPtr<ARSceneObserver>> observers;
  observers.reserve(size_);
  for (Bucket& bucket : buckets_) {
    for (Entry& entry : bucket) observers.push_back(std::move(entry.observer));
    bucket.clear();
  }
  size_ = 0;
  return observers;
}

void SceneMap::Rehash(std::size_t bucketCount) {
  std::vector<Bucket> old(bucketCount);
  old.swap(buckets_);
  for (Bucket& bucket : old)
    for (Entry& entry : bucket) buckets_[BucketOf(entry.scene.get())].push_back(std::move(entry));
}

}  // namespace ar
