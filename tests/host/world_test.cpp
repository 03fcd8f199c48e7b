// The host world and its scenes: what their observers hear through the message loop, and in
// which order.
#include "orl/World.h"

#include <gtest/gtest.h>

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

// Names scenes and entries by a label the test gives them.
std::string NameOf(const void* object,
                   const std::vector<std::pair<const void*, std::string>>& labels) {
  for (const auto& [key, label] : labels)
    if (key == object) return label;
  return object ? "?" : "-";
}

class RecordingWorldObserver final : public orl::WorldObserver {
 public:
  Heard heard;
  std::vector<std::pair<const void*, std::string>> labels;

  void OnDestroy() override { heard.push_back("destroy"); }
  void OnWorldInit() override { heard.push_back("init"); }
  void OnWorldReset() override { heard.push_back("reset"); }
  void OnSceneAdded(const SmartPtr<orl::Scene>& s) override { Note("added ", s.get()); }
  void OnSceneRemoved(const SmartPtr<orl::Scene>& s) override { Note("removed ", s.get()); }

 private:
  ~RecordingWorldObserver() override = default;
  void Note(const char* what, const void* scene) { heard.push_back(what + NameOf(scene, labels)); }
};

class RecordingSceneObserver final : public orl::ShapeSceneObserver {
 public:
  Heard heard;

  void OnDestroy() override { heard.push_back("destroy"); }
  void OnAnnoSetTableEntryChanged(const SmartPtr<orl::AnnoSetTableEntry>& entry) override {
    heard.push_back("entry " + (entry ? entry->GetName().str() : std::string("-")));
  }

 private:
  ~RecordingSceneObserver() override = default;
};

SmartPtr<orl::AnnoSetTableEntry> NamedEntry(const char* name) {
  return orl::AnnoSetTableEntry::Make(du::Symbol(name), du::Symbol::EMPTY,
                                      orl::ANNO_SET_CONTENT_NONE);
}

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
  SmartPtr<RecordingWorldObserver> Observe(bool init = false) {
    SmartPtr<RecordingWorldObserver> observer = new RecordingWorldObserver;
    EXPECT_TRUE(world_->RegisterObserver(observer.get(), init));
    return observer;
  }
  SmartPtr<orl::World> world_;
};

TEST_F(WorldTest, ObserversHearEveryChangeInOrderThroughTheLoop) {
  auto observer = Observe();
  auto a = orl::ShapeScene::Create();
  auto b = orl::Scene::Create();
  observer->labels = {{a.get(), "A"}, {b.get(), "B"}};
  world_->InitWorld();
  EXPECT_TRUE(world_->AddScene(a.get()));
  EXPECT_TRUE(world_->AddScene(b));
  EXPECT_FALSE(world_->AddScene(a.get())) << "already there: announced again";
  EXPECT_TRUE(world_->RemoveScene(b));
  EXPECT_FALSE(world_->RemoveScene(b));
  EXPECT_FALSE(world_->AddScene(nullptr));
  world_->ResetWorld();
  EXPECT_TRUE(observer->heard.empty()) << "nothing is told inside the calls";
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard,
            (Heard{"init", "added A", "added B", "added A", "removed B", "reset"}));
  EXPECT_EQ(world_->GetScenes().size(), 1u);
}

TEST_F(WorldTest, RegistrationWithInitTellsTheScenesAlreadyThere) {
  auto a = orl::ShapeScene::Create();
  world_->AddScene(a.get());
  arhost::RunUntilIdle();
  SmartPtr<RecordingWorldObserver> observer = new RecordingWorldObserver;
  observer->labels = {{a.get(), "A"}};
  EXPECT_TRUE(world_->RegisterObserver(observer, true));
  EXPECT_EQ(observer->heard, Heard{"added A"}) << "during the call";
  EXPECT_FALSE(world_->RegisterObserver(observer, true));
  EXPECT_EQ(observer->heard, Heard{"added A"});
}

TEST_F(WorldTest, DeregisteredObserverLosesWhatWasQueued) {
  auto observer = Observe();
  world_->InitWorld();
  EXPECT_TRUE(world_->DeregisterObserver(observer));
  EXPECT_FALSE(world_->DeregisterObserver(observer));
  arhost::RunUntilIdle();
  EXPECT_TRUE(observer->heard.empty());
}

TEST_F(WorldTest, EndingTheWorldDestroysItsScenes) {
  auto observer = Observe();
  auto scene = orl::ShapeScene::Create();
  SmartPtr<RecordingSceneObserver> sceneObserver = new RecordingSceneObserver;
  scene->RegisterObserver(*sceneObserver, du::Flags(), false);
  world_->AddScene(scene.get());
  world_ = nullptr;
  orl::World::EndWorld();
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard.back(), "destroy");
  EXPECT_EQ(sceneObserver->heard, Heard{"destroy"});
  EXPECT_EQ(scene->GetObserverCount(), 0u);
}

TEST_F(WorldTest, SceneObserversHearEachEntryTheSceneIsGiven) {
  auto scene = orl::ShapeScene::Create();
  SmartPtr<orl::AnnoSetTableEntry> entry;
  EXPECT_FALSE(scene->GetAnnotationSetTableEntry(entry));
  SmartPtr<RecordingSceneObserver> observer = new RecordingSceneObserver;
  EXPECT_TRUE(scene->RegisterObserver(*observer, du::Flags(), false));
  EXPECT_FALSE(scene->RegisterObserver(*observer, du::Flags(), true));
  auto door = NamedEntry("Door");
  scene->SetAnnotationSetTableEntry(door);
  scene->SetAnnotationSetTableEntry(door);
  scene->SetAnnotationSetTableEntry(nullptr);
  EXPECT_TRUE(observer->heard.empty());
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard, (Heard{"entry Door", "entry Door", "entry -"}));
  EXPECT_FALSE(scene->GetAnnotationSetTableEntry(entry));
  scene->SetAnnotationSetTableEntry(door);
  EXPECT_TRUE(scene->GetAnnotationSetTableEntry(entry));
  EXPECT_EQ(entry, door);
  EXPECT_TRUE(scene->UnregisterObserver(*observer));
  EXPECT_FALSE(scene->UnregisterObserver(*observer));
  arhost::RunUntilIdle();
  EXPECT_EQ(observer->heard.size(), 3u) << "the queued notification went with the registration";
}

// A record of `tag` alone, queued for `observer`.
void PostBareRecord(dom::Observer& observer, unsigned char tag) {
  SmartPtr<dom::ObserverProxy> proxy = new dom::ObserverProxy(observer);
  proxy->Begin();
  proxy->PushUInt8Value(tag);
  proxy->End();
}

TEST_F(WorldTest, RecordsWithoutTheirPointerAreRejected) {
  SmartPtr<RecordingWorldObserver> observer = new RecordingWorldObserver;
  PostBareRecord(*observer, orl::World::kSceneAddedEvent);
  EXPECT_THROW(arhost::RunUntilIdle(), std::runtime_error);
  SmartPtr<RecordingSceneObserver> sceneObserver = new RecordingSceneObserver;
  PostBareRecord(*sceneObserver, orl::Scene::kAnnoSetTableEntryChangedEvent);
  EXPECT_THROW(arhost::RunUntilIdle(), std::runtime_error);
  EXPECT_TRUE(observer->heard.empty());
  EXPECT_TRUE(sceneObserver->heard.empty());
}

}  // namespace
