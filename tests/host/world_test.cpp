// The host world and its scenes: what their observers hear through the message loop, and in
// which order.
#include "orl/World.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "HostTest.h"
#include "dom/ObserverProxy.h"
#include "orl/AnnoSetTable.h"
#include "orl/Scene.h"
#include "orl/SceneObserver.h"
#include "orl/WorldObserver.h"

namespace {

using du::SmartPtr;
using Heard = std::vector<std::string>;

class WorldRecorder final : public orl::WorldObserver {
 public:
  Heard heard;
  std::map<const void*, std::string> labels;
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnWorldInit() override { heard.push_back("init"); }
  void OnWorldReset() override { heard.push_back("reset"); }
  void OnSceneAdded(const SmartPtr<orl::Scene>& s) override {
    heard.push_back("+" + labels[s.get()]);
  }
  void OnSceneRemoved(const SmartPtr<orl::Scene>& s) override {
    heard.push_back("-" + labels[s.get()]);
  }

 private:
  ~WorldRecorder() override = default;
};

class SceneRecorder final : public orl::ShapeSceneObserver {
 public:
  Heard heard;
  void OnDestroy() override { heard.push_back("destroy"); }
  void OnAnnoSetTableEntryChanged(const SmartPtr<orl::AnnoSetTableEntry>& entry) override {
    heard.push_back("entry " + (entry ? entry->GetName().str() : std::string("-")));
  }

 private:
  ~SceneRecorder() override = default;
};

class WorldTest : public artest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    world_ = orl::World::GetWorld();
  }
  void TearDown() override {
    world_ = nullptr;
    HostTest::TearDown();
  }
  SmartPtr<orl::World> world_;
};

TEST_F(WorldTest, ObserversHearEveryChangeInOrderThroughTheLoop) {
  auto a = orl::ShapeScene::Create();
  auto b = orl::Scene::Create();
  world_->AddScene(a.get());
  arhost::RunUntilIdle();
  SmartPtr<WorldRecorder> observer = new WorldRecorder;
  observer->labels = {{a.get(), "A"}, {b.get(), "B"}};
  EXPECT_TRUE(world_->RegisterObserver(observer, true));
  EXPECT_EQ(observer->heard, Heard{"+A"}) << "told of the scenes there, during the call";
  EXPECT_FALSE(world_->RegisterObserver(observer, true));
  world_->InitWorld();
  EXPECT_TRUE(world_->AddScene(b));
  EXPECT_FALSE(world_->AddScene(a.get())) << "already there: announced again";
  EXPECT_TRUE(world_->RemoveScene(b));
  EXPECT_FALSE(world_->RemoveScene(b));
  EXPECT_FALSE(world_->AddScene(nullptr));
  world_->ResetWorld();
  EXPECT_EQ(observer->heard.size(), 1u) << "nothing is told inside the calls";
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"+A", "init", "+B", "+A", "-B", "reset"}));
  EXPECT_EQ(world_->GetScenes().size(), 1u);

  world_->InitWorld();
  EXPECT_TRUE(world_->DeregisterObserver(observer));
  EXPECT_FALSE(world_->DeregisterObserver(observer));
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard.size(), 6u) << "what was queued went with the registration";
}

TEST_F(WorldTest, SceneObserversHearEachEntryAndEndingTheWorldDestroysTheScenes) {
  auto scene = orl::ShapeScene::Create();
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_FALSE(scene->GetAnnotationSetTableEntry(entry));
  SmartPtr<SceneRecorder> observer = new SceneRecorder, leaving = new SceneRecorder;
  EXPECT_TRUE(scene->RegisterObserver(*observer, du::Flags(), false));
  EXPECT_FALSE(scene->RegisterObserver(*observer, du::Flags(), true));
  EXPECT_TRUE(scene->RegisterObserver(*leaving, du::Flags(), false));
  auto door = orl::AnnoSetTableEntry::Make(du::Symbol("Door"), du::Symbol::EMPTY,
                                           orl::ANNO_SET_CONTENT_NONE);
  for (const auto& e : {door, door, SmartPtr<orl::AnnoSetTableEntry>()})
    scene->SetAnnotationSetTableEntry(e);
  EXPECT_FALSE(scene->GetAnnotationSetTableEntry(entry));
  scene->SetAnnotationSetTableEntry(door);
  EXPECT_TRUE(scene->GetAnnotationSetTableEntry(entry));
  EXPECT_EQ(entry, door);
  EXPECT_TRUE(scene->UnregisterObserver(*leaving));
  EXPECT_FALSE(scene->UnregisterObserver(*leaving));
  EXPECT_TRUE(observer->heard.empty());
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"entry Door", "entry Door", "entry -", "entry Door"}));
  EXPECT_TRUE(leaving->heard.empty());

  SmartPtr<WorldRecorder> worldObserver = new WorldRecorder;
  world_->RegisterObserver(worldObserver, false);
  world_->AddScene(scene.get());
  world_ = nullptr;
  orl::World::EndWorld();
  arhost::RunUntilIdle();
  EXPECT_EQ(worldObserver->heard.back(), "destroy");
  EXPECT_EQ(observer->heard.back(), "destroy");
  EXPECT_EQ(scene->GetObserverCount(), 0u);
}

TEST_F(WorldTest, RecordsWithoutTheirPointerAreRejected) {
  SmartPtr<WorldRecorder> world = new WorldRecorder;
  SmartPtr<SceneRecorder> scene = new SceneRecorder;
  const std::pair<dom::Observer*, unsigned char> records[] = {
      {world.get(), orl::World::kSceneAddedEvent},
      {scene.get(), orl::Scene::kAnnoSetTableEntryChangedEvent}};
  for (const auto& [observer, tag] : records) {
    SmartPtr<dom::ObserverProxy> proxy = new dom::ObserverProxy(*observer);
    proxy->Begin();
    proxy->PushUInt8Value(tag);
    proxy->End();
    EXPECT_THROW(arhost::RunUntilIdle(), std::runtime_error) << int(tag);
  }
  EXPECT_TRUE(world->heard.empty());
  EXPECT_TRUE(scene->heard.empty());
}

}  // namespace
