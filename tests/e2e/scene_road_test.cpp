// Scenes arriving in the world, the loading of the "ARTargets" set they trigger, and the
// targets the controller announces for them, all through the message loop.
#include <gtest/gtest.h>

#include <filesystem>

#include "WorldTest.h"

namespace {

using artest::Heard;
using artest::Then;
using du::SmartPtr;

class SceneRoadTest : public artest::WorldTest {
 protected:
  void TearDown() override {
    loadingScene_ = nullptr;
    WorldTest::TearDown();
  }
  // A world whose three targets are loaded, through a first scene "L" named after none.
  void LoadThreeTargets() {
    AddARTargetsSet({"Door", "Window", "Roof"});
    loadingScene_ = ShapeScene("L", "Nothing");
    {
      const Heard heard = TakeHeard();
      ASSERT_EQ(heard, Creations());
    }
  }
  // Loaded as above, then a scene "S" that shows "Door", its announcement heard already.
  SmartPtr<orl::ShapeScene> DoorSceneOfThreeTargets() {
    LoadThreeTargets();
    auto scene = ShapeScene("S", "Door");
    TakeHeard();
    return scene;
  }
  std::string TargetNameFor(const SmartPtr<orl::ShapeScene>& scene) const {
    auto target = controller_->GetTargetForScene(scene.get());
    return target ? target->GetName().str() : "-";
  }
  SmartPtr<orl::ShapeScene> loadingScene_;
};

TEST_F(SceneRoadTest, EveryObserverHearsTheCreationsThenTheScenesTarget) {
  AddARTargetsSet({"Door", "Window", "Roof"});
  SmartPtr<artest::RecordingObserver> second = new artest::RecordingObserver;
  controller_->RegisterObserver(*second, false);
  auto scene = ShapeScene("S", "Window");
  second->Label(scene.get(), "S");
  arhost::RunUntilIdle();
  ASSERT_EQ(Registry().size(), 3u);
  const Heard expected = Then(Creations(), {"scene Window @S"});
  EXPECT_EQ(TakeHeard(), expected);
  EXPECT_EQ(second->heard, expected);
  EXPECT_EQ(TargetNameFor(scene), "Window");
  EXPECT_EQ(controller_->GetTargetForScene(scene.get()),
            controller_->FindTarget(du::Symbol("Window")));
}

TEST_F(SceneRoadTest, ScenesThatCannotBeTrackedAreIgnored) {
  AddARTargetsSet({"Door"});
  auto plain = orl::Scene::Create();
  plain->SetAnnotationSetTableEntry(SceneEntry("Door"));
  world_->AddScene(plain);
  auto withoutEntry = ShapeScene("E", nullptr);
  EXPECT_EQ(TakeHeard(), Heard{});
  EXPECT_TRUE(Registry().empty()) << "nothing was loaded";
  EXPECT_EQ(withoutEntry->GetObserverCount(), 0u);
  EXPECT_FALSE(controller_->GetTargetForScene(plain));
}

TEST_F(SceneRoadTest, SceneAnnouncedTwiceKeepsItsFirstObserver) {
  LoadThreeTargets();
  auto scene = ShapeScene("S", "Door");
  EXPECT_EQ(TakeHeard(), Heard{"scene Door @S"});
  world_->AddScene(scene.get());
  EXPECT_EQ(TakeHeard(), Heard{}) << "no second announcement, no load";
  EXPECT_EQ(scene->GetObserverCount(), 1u) << "the second observer was detached at once";
  EXPECT_EQ(TargetNameFor(scene), "Door");
}

TEST_F(SceneRoadTest, SceneAddedAfterLoadingHearsItsTargetAtOnce) {
  LoadThreeTargets();
  auto named = ShapeScene("N", "Roof");
  auto unnamed = ShapeScene("U", "Chimney");
  EXPECT_EQ(TakeHeard(), Heard{"scene Roof @N"});
  EXPECT_EQ(TargetNameFor(named), "Roof");
  EXPECT_EQ(TargetNameFor(unnamed), "-");
}

TEST_F(SceneRoadTest, RemovedSceneIsForgottenButItsTargetStays) {
  auto scene = DoorSceneOfThreeTargets();
  const std::size_t managed = arhost::GetLiveCounts().managedObjects;
  world_->RemoveScene(scene.get());
  EXPECT_EQ(TakeHeard(), Heard{});
  EXPECT_EQ(arhost::GetLiveCounts().managedObjects, managed - 1) << "its observer left the loop";
  EXPECT_EQ(Registry().size(), 3u);
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  EXPECT_EQ(TargetNameFor(scene), "-");
  world_->RemoveScene(scene.get());  // not in the world any more: nothing happens
  EXPECT_EQ(TakeHeard(), Heard{});
}

TEST_F(SceneRoadTest, EntryChangesAnnounceOnlyADifferentTarget) {
  auto scene = DoorSceneOfThreeTargets();
  scene->SetAnnotationSetTableEntry(SceneEntry("Door"));  // another entry, the same name
  EXPECT_EQ(TakeHeard(), Heard{});
  scene->SetAnnotationSetTableEntry(SceneEntry("Cellar"));
  EXPECT_EQ(TakeHeard(), Heard{"scene - @S"});
  EXPECT_EQ(TargetNameFor(scene), "-");
  scene->SetAnnotationSetTableEntry(SceneEntry("Roof"));
  EXPECT_EQ(TakeHeard(), Heard{"scene Roof @S"});
  scene->SetAnnotationSetTableEntry(nullptr);  // no entry: nothing to match
  EXPECT_EQ(TakeHeard(), Heard{});
  EXPECT_EQ(TargetNameFor(scene), "Roof");
}

TEST_F(SceneRoadTest, EntryChangeBeforeAnyLoadStartsOne) {
  auto scene = ShapeScene("S", "Door");  // no "ARTargets" set yet: nothing loads
  EXPECT_EQ(TakeHeard(), Heard{});
  AddARTargetsSet({"Door", "Window"});
  scene->SetAnnotationSetTableEntry(SceneEntry("Window"));
  {
    const Heard heard = TakeHeard();
    EXPECT_EQ(heard, Then(Creations(), {"scene Window @S"}));
  }
}

TEST_F(SceneRoadTest, CompletionForARemovedSceneLoadsButAnnouncesNoScene) {
  AddARTargetsSet({"Door", "Window"});
  auto scene = ShapeScene("S", "Door");
  world_->RemoveScene(scene.get());
  {
    const Heard heard = TakeHeard();
    EXPECT_EQ(heard, Creations());
  }
  EXPECT_EQ(Registry().size(), 2u);
}

TEST_F(SceneRoadTest, TwoScenesBeforeLoadingGiveTwoLoadsAndOneSetOfCreations) {
  AddARTargetsSet({"Door", "Window", "Roof"});
  observer_->beginEnd = true;
  ShapeScene("A", "Door");
  ShapeScene("B", "Roof");
  const Heard heard = TakeHeard();
  const Heard expected =
      Then(Then({"begin"}, Creations()), {"scene Door @A", "end", "begin", "scene Roof @B", "end"});
  EXPECT_EQ(heard, expected) << "each load completes in its own update group";
}

TEST_F(SceneRoadTest, FailedLoadLeavesNothingLoadedAndTheNextSceneLoadsAgain) {
  table_->CreateAnnotationSet(artest::ArEntry(), nullptr);  // its file does not exist yet
  ShapeScene("A", "Door");
  EXPECT_EQ(TakeHeard(), Heard{});
  EXPECT_TRUE(Registry().empty());
  WriteTargetFile({"Door"});
  ShapeScene("B", "Door");
  EXPECT_EQ(TakeHeard(), (Heard{"create Door", "scene Door @B"}));
}

TEST_F(SceneRoadTest, TargetsAddedBeforeTheFirstLoadVanishSilently) {
  AddARTargetsSet({"Door"});
  controller_->AddTarget(MakeTarget("Early"));
  EXPECT_EQ(TakeHeard(), Heard{"create Early"});
  ShapeScene("S", "Door");
  EXPECT_EQ(TakeHeard(), (Heard{"create Door", "scene Door @S"}));
  EXPECT_EQ(Registry(), std::vector<std::string>{"Door"});
}

TEST_F(SceneRoadTest, WorldWithoutTheSetLoadsNothing) {
  table_->CreateAnnotationSet(artest::ArEntry("", "OtherTargets"), nullptr);
  ShapeScene("A", "Door");
  world_->SetAnnoSetTable(nullptr);
  ShapeScene("B", "Door");
  EXPECT_EQ(TakeHeard(), Heard{});
  EXPECT_TRUE(Registry().empty());
}

TEST_F(SceneRoadTest, WorldInitAndResetDropTheShownStateAndTheContent) {
  controller_->AddTarget(MakeTarget("Early"));
  TakeHeard();
  world_->InitWorld();
  EXPECT_EQ(TakeHeard(), Heard{}) << "nothing shown, nothing loaded: nothing to reset";
  EXPECT_EQ(Registry(), std::vector<std::string>{"Early"});

  AddARTargetsSet({"Door"});
  auto scene = ShapeScene("S", "Door");
  controller_->ShowTargets(nullptr);
  TakeHeard();
  world_->ResetWorld();
  EXPECT_EQ(TakeHeard(), (Heard{"show 0", "reset"}));
  EXPECT_TRUE(Registry().empty());
  EXPECT_FALSE(controller_->GetShowTargets());
  EXPECT_EQ(TargetNameFor(scene), "Door") << "a reset leaves the scenes' targets alone";
}

TEST_F(SceneRoadTest, DestroyedControllerHearsNothingMore) {
  auto scene = DoorSceneOfThreeTargets();
  const std::size_t worldObservers = world_->GetObserverCount();
  controller_->Destroy();
  EXPECT_EQ(world_->GetObserverCount(), worldObservers - 1);
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  EXPECT_EQ(loadingScene_->GetObserverCount(), 0u);
  auto later = ShapeScene("T", "Window");
  scene->SetAnnotationSetTableEntry(SceneEntry("Roof"));
  world_->ResetWorld();
  arhost::RunUntilIdle();
  EXPECT_EQ(Registry().size(), 3u);
  EXPECT_EQ(TargetNameFor(later), "-");
  EXPECT_EQ(TargetNameFor(scene), "-");
}

TEST_F(SceneRoadTest, DestroyedSceneDetachesItsObserver) {
  auto scene = DoorSceneOfThreeTargets();
  scene->Destroy();
  arhost::RunUntilIdle();
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  EXPECT_EQ(TargetNameFor(scene), "Door") << "tracked until the world removes it";
  world_->RemoveScene(scene.get());
  arhost::RunUntilIdle();
  EXPECT_EQ(TargetNameFor(scene), "-");
}

}  // namespace
