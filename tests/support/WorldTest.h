// The fixture of whole-road tests: the plug-in loaded by path as a host loads it, the
// controller from its factory, a world whose annotation-set table lives in a temporary folder,
// and one recording observer registered with the controller. Helpers write the "ARTargets"
// target file and add shape scenes whose own entry carries a name.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "AnnoSets.h"
#include "HostTest.h"
#include "RecordingEvent.h"
#include "RecordingObserver.h"
#include "TempDir.h"
#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "orl/Scene.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace artest {

using Heard = std::vector<std::string>;

class WorldTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    loader_ = orlloader::Loader::GetLoader();
    std::string error;
    ASSERT_TRUE(loader_->LoadPlugin(AR_PLUGIN_PATH, &error)) << error;
    controller_ = du::DynamicCast<ar::ARController>(
        loader_->CreateComponent("world", "augmentedreality", "controller"));
    ASSERT_TRUE(controller_);
    world_ = orl::World::GetWorld();
    table_ = orl::AnnoSetTable::Create(du::Symbol(dir_.path().string()));
    world_->SetAnnoSetTable(table_);
    observer_ = new RecordingObserver;
    controller_->RegisterObserver(*observer_, false);
  }
  void TearDown() override {
    observer_ = nullptr;
    table_ = nullptr;
    world_ = nullptr;
    controller_ = nullptr;
    loader_ = nullptr;
    HostTest::TearDown();
  }

  // Writes a target file of targets with these names and makes it the world's "ARTargets" set
  // (not loaded yet).
  void AddARTargetsSet(std::initializer_list<const char*> names) {
    WriteTargetFile(names);
    table_->CreateAnnotationSet(ArEntry(), nullptr);
  }
  void WriteTargetFile(std::initializer_list<const char*> names) {
    ASSERT_EQ(SaveWithComponent(table_, ContentOf(names), FilePath()), Completions{"ok"});
  }
  // AR content holding new targets with these names.
  du::SmartPtr<ar::ARContent> ContentOf(std::initializer_list<const char*> names) {
    du::SmartPtr<ar::ARContent> content = new ar::ARContent;
    TargetSet targets;
    for (const char* name : names) targets.insert(MakeTarget(name));
    content->SetTargets(targets);
    return content;
  }
  std::string FilePath() const { return dir_.File("ARTargets.xml"); }

  du::SmartPtr<ar::ARTarget> MakeTarget(const char* name) {
    du::SmartPtr<ar::ARTarget> target = new ar::ARTarget(controller_.get());
    target->SetName(du::Symbol(name));
    return target;
  }

  // A shape scene whose own entry is named `entryName` (none when null), labelled for the
  // observer and, with `add`, added to the world.
  du::SmartPtr<orl::ShapeScene> ShapeScene(const char* label, const char* entryName,
                                           bool add = true) {
    du::SmartPtr<orl::ShapeScene> scene = orl::ShapeScene::Create();
    if (entryName) scene->SetAnnotationSetTableEntry(SceneEntry(entryName));
    observer_->Label(scene.get(), label);
    if (add) world_->AddScene(scene.get());
    return scene;
  }
  static du::SmartPtr<orl::AnnoSetTableEntry> SceneEntry(const char* name) {
    return ArEntry("", name, "markup");
  }

  // The names of the registered targets, in registry order.
  std::vector<std::string> Registry() const {
    std::vector<du::SmartPtr<ar::ARTarget>> targets;
    controller_->GetTargets(targets);
    std::vector<std::string> names;
    for (const auto& t : targets) names.push_back(t->GetName().str());
    return names;
  }
  // What the observer heard since the last call.
  Heard TakeHeard() {
    arhost::RunUntilIdle();
    Heard heard;
    heard.swap(observer_->heard);
    return heard;
  }
  // "create N" for each registered target, in registry order.
  Heard Creations() const {
    Heard creations;
    for (const auto& name : Registry()) creations.push_back("create " + name);
    return creations;
  }

  TempDir dir_;
  du::SmartPtr<orlloader::Loader> loader_;
  du::SmartPtr<ar::ARController> controller_;
  du::SmartPtr<orl::World> world_;
  du::SmartPtr<orl::AnnoSetTable> table_;
  du::SmartPtr<RecordingObserver> observer_;
};

// `first` followed by `rest`.
inline Heard Then(Heard first, const Heard& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

}  // namespace artest
