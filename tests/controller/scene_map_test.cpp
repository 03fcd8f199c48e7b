// The controller's scene map: identity keys and the host's bucket rule.
#include <gtest/gtest.h>

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

}  // namespace
