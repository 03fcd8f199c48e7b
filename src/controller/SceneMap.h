// ar::SceneMap: the controller's map from each tracked shape scene to its scene observer, keyed
// by the scene object's identity. A chained hash table whose bucket count is always one the
// host's tables use: du::HashNextPrime(100) at first; before an insertion that would leave
// more elements than buckets, du::HashNextPrime(count + 1). A scene's bucket is its address
// shifted right by two bits (the low bits of an object address carry nothing), modulo the
// bucket count.
// Thread rules: none of its own; the controller guards it with its lock.
#pragma once

#include <cstddef>
#include <vector>

#include "ARSceneObserver.h"
#include "du/SmartPtr.h"
#include "orl/Scene.h"

namespace ar {

class SceneMap {
 public:
  SceneMap();

  // The scene's observer, or null when the scene is not in the map.
  ARSceneObserver* Find(const orl::ShapeScene* scene) const;
  // False, and the map unchanged, when the scene is in it already.
  bool Insert(const du::SmartPtr<orl::ShapeScene>& scene,
              const du::SmartPtr<ARSceneObserver>& observer);
  // Removes the scene's entry; false when there was none.
  bool Erase(const orl::ShapeScene* scene);
  // Empties the map and gives back its observers.
  std::vector<du::SmartPtr<ARSceneObserver>> TakeObservers();

  std::size_t Size() const { return size_; }
  std::size_t BucketCount() const { return buckets_.size(); }

 private:
  struct Entry {
    du::SmartPtr<orl::ShapeScene> scene;
    du::SmartPtr<ARSceneObserver> observer;
  };
  using Bucket = std::vector<Entry>;

  const Entry* FindEntry(const orl::ShapeScene* scene) const;
  std::size_t BucketOf(const orl::ShapeScene* scene) const;
  void Rehash(std::size_t bucketCount);

  std::vector<Bucket> buckets_;
  std::size_t size_ = 0;
};

}  // namespace ar
