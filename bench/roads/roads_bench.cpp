// The road of one scene in a world of 10,000 targets: from adding a shape scene to the last
// observer notification (every TARGET_CREATE_EVENT, then SHOW_TARGET_FOR_SCENE_EVENT), against
// loading the same target file through the host's loader alone, in the same run. Both read the
// file with the plug-in's reader; the difference is the controller's own work: the registry
// copy, the notifications and their delivery to one observer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "MemoryMeter.h"
#include "RatioReporter.h"
#include "ScratchDirectory.h"
#include "TargetFixtures.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orl/Scene.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace {

using du::SmartPtr;

constexpr int kTargets = 10000;

SmartPtr<orl::AnnoSetTableEntry> Entry(const char* name, const char* family) {
  return orl::AnnoSetTableEntry::Make(du::Symbol(name), du::Symbol(family),
                                      orl::ANNO_SET_CONTENT_AR);
}

void Complete(const SmartPtr<orl::AsyncEvent>& event) {
  arhost::RunUntilIdle();
  if (event->GetStatus() != orl::BaseAsyncEvent::kSuccess) std::abort();
}

// A host session with the plug-in loaded by path and the "ARTargets" file written.
SmartPtr<orl::AnnoSetTable> StartHost() {
  if (!orlloader::Loader::GetLoader()->LoadPlugin(AR_PLUGIN_PATH, nullptr)) std::abort();
  auto table = orl::AnnoSetTable::Create(du::Symbol(arbench::ScratchDirectory()));
  auto entry = Entry("ARTargets", "augmentedreality");
  entry->SetContent(arbench::MakeContent(kTargets).get());
  SmartPtr<orl::AsyncEvent> saved = new orl::AsyncEvent(false);
  orlloader::Loader::GetLoader()->SaveAnnotation(table, entry, saved.get());
  Complete(saved);
  return table;
}

class CountingObserver final : public ar::ARControllerObserver {
 public:
  int created = 0;
  int scenes = 0;
  void OnDestroy() override {}
  void OnTargetCreate(SmartPtr<ar::ARTarget>&) override { ++created; }
  void OnShowTargetForScene(SmartPtr<ar::ARTarget>&, SmartPtr<orl::ShapeScene>&) override {
    ++scenes;
  }

 private:
  ~CountingObserver() override = default;
};

void SceneRoad(benchmark::State& state) {
  auto table = StartHost();
  {
    auto world = orl::World::GetWorld();
    world->SetAnnoSetTable(table);
    table->CreateAnnotationSet(Entry("ARTargets", "augmentedreality"), nullptr);
    SmartPtr<orl::AnnoSetTableEntry> set;
    table->GetAnnotationEntry(du::Symbol("ARTargets"), orl::ANNO_SET_CONTENT_AR, set);
    SmartPtr<CountingObserver> observer = new CountingObserver;
    ar::ARController::Get()->RegisterObserver(*observer, false);
    for (auto _ : state) {
      auto scene = orl::ShapeScene::Create();
      scene->SetAnnotationSetTableEntry(Entry("target-42", "markup"));
      world->AddScene(scene.get());
      arhost::RunUntilIdle();
      state.PauseTiming();  // back to a world with nothing loaded
      if (observer->created != kTargets || observer->scenes != 1) std::abort();
      observer->created = observer->scenes = 0;
      world->RemoveScene(scene.get());
      world->ResetWorld();
      arhost::RunUntilIdle();
      set->SetContent(nullptr);
      state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kTargets);
    ar::ARController::Get()->DeregisterObserver(*observer);
  }
  arhost::Shutdown();
}

void LoaderAlone(benchmark::State& state) {
  auto table = StartHost();
  {
    auto entry = Entry("ARTargets", "augmentedreality");
    for (auto _ : state) {
      SmartPtr<orl::AsyncEvent> event = new orl::AsyncEvent(false);
      orlloader::Loader::GetLoader()->LoadAnnotation(table, entry, event.get());
      Complete(event);
      state.PauseTiming();  // the same release the road does outside its timing
      entry->SetContent(nullptr);
      state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kTargets);
  }
  arhost::Shutdown();
}

BENCHMARK(SceneRoad)->Unit(benchmark::kMillisecond);
BENCHMARK(LoaderAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  arbench::StartMetering();  // the same allocator settings for the road and the baseline
  return arbench::RunWithRatios(argc, argv, {{"SceneRoad", "LoaderAlone", "<= 1.3"}});
}
