// The controller's scene map: identity keys and the host's bucket rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "HostTest.h"
#include "controller/SceneMap.h"
#include "du/HashNextPrime.h"

namespace {

using du::SmartPtr;

class SceneMapTest : public artest::HostTest {};

TEST_F(SceneMapTest, BucketsGrowToTheHostsPrimeOnlyWhenFull) {
  std::vector<SmartPtr<orl::ShapeScene>> scenes;
  {
    ar::SceneMap map;
    EXPECT_EQ(map.BucketCount(), du::HashNextPrime(100));
    for (std::size_t i = 0; i < du::HashNextPrime(100); ++i) {
      scenes.push_back(orl::ShapeScene::Create());
      EXPECT_TRUE(map.Insert(scenes.back(), nullptr));
    }
    EXPECT_EQ(map.BucketCount(), du::HashNextPrime(100)) << "as many elements as buckets";
    scenes.push_back(orl::ShapeScene::Create());
    EXPECT_TRUE(map.Insert(scenes.back(), nullptr));
    EXPECT_EQ(map.BucketCount(), du::HashNextPrime(scenes.size()));
    EXPECT_EQ(map.Size(), scenes.size());
    EXPECT_FALSE(map.Insert(scenes.front(), nullptr)) << "one entry per scene";
    EXPECT_EQ(map.Size(), scenes.size());
    for (const auto& scene : scenes) EXPECT_TRUE(map.Erase(scene.get()));
    EXPECT_FALSE(map.Erase(scenes.front().get()));
    EXPECT_EQ(map.Size(), 0u);
  }
  EXPECT_EQ(scenes.front()->GetReferenceCount(), 1) << "the map let go of its keys";
}

// Scenes that share a bucket are told apart by identity: each finds its own observer, and
// erasing one leaves the other.
TEST_F(SceneMapTest, ScenesInOneBucketKeepTheirOwnObservers) {
  const std::size_t buckets = du::HashNextPrime(100);
  std::vector<SmartPtr<orl::ShapeScene>> made;
  SmartPtr<orl::ShapeScene> first, second;
  while (!second) {  // scenes until two land in one bucket (at most buckets + 1)
    made.push_back(orl::ShapeScene::Create());
    for (std::size_t i = 0; i + 1 < made.size() && !second; ++i)
      if ((reinterpret_cast<std::uintptr_t>(made[i].get()) >> 2) % buckets ==
          (reinterpret_cast<std::uintptr_t>(made.back().get()) >> 2) % buckets)
        first = made[i], second = made.back();
  }
  ar::SceneMap map;
  SmartPtr<ar::ARSceneObserver> a = new ar::ARSceneObserver, b = new ar::ARSceneObserver;
  ASSERT_TRUE(map.Insert(first, a));
  ASSERT_TRUE(map.Insert(second, b));
  EXPECT_EQ(map.Find(first.get()), a.get());
  EXPECT_EQ(map.Find(second.get()), b.get());
  EXPECT_TRUE(map.Erase(first.get()));
  EXPECT_EQ(map.Find(first.get()), nullptr);
  EXPECT_EQ(map.Find(second.get()), b.get());
  EXPECT_EQ(map.TakeObservers(), std::vector<SmartPtr<ar::ARSceneObserver>>{b});
  EXPECT_EQ(map.Size(), 0u);
}

}  // namespace
