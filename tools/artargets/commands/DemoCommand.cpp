#include "commands/DemoCommand.h"

#include <stdlib.h>

#include <filesystem>
#include <iostream>

#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orl/Scene.h"
#include "orl/World.h"
#include "orlloader/Loader.h"
#include "support/ScratchFolder.h"
#include "targets/TargetComparison.h"
#include "targets/TargetFiles.h"
#include "targets/ValueText.h"

namespace artargets {

namespace {

using du::SmartPtr;

// Three targets on the front wall of a house: each faces -y, with x to the right and z up.
std::vector<TargetRecord> SampleTargets() {
  const Vec3 facing{0, -1, 0}, right{1, 0, 0}, up{0, 0, 1};
  return {
      {.name = "Front door",
       .image = "door.jpg",
       .width = 0.8,
       .height = 2.1,
       .center = {1.5, 0, 1.05},
       .normal = facing,
       .xdir = right,
       .ydir = up,
       .shape = "/building/door"},
      {.name = "Kitchen window",
       .image = "window.jpg",
       .width = 1.2,
       .height = 1,
       .center = {4, 0, 1.4},
       .normal = facing,
       .xdir = right,
       .ydir = up,
       .shape = "/building/window"},
      {.name = "Name plate",
       .image = "plate.png",
       .width = 0.3,
       .height = 0.1,
       .type = 1,
       .id = 7,
       .center = {2.2, 0, 1.5},
       .normal = facing,
       .xdir = right,
       .ydir = up,
       .shape = "/building/plate"},
  };
}

class NarratingObserver final : public ar::ARControllerObserver {
 public:
  void OnDestroy() override { Say("the controller is gone"); }
  void OnReset() override { Say("OnReset (the controller dropped what it had loaded)"); }
  void OnTargetCreate(SmartPtr<ar::ARTarget>& t) override { Say("OnTargetCreate " + Name(t)); }
  void OnTargetDestroy(SmartPtr<ar::ARTarget>& t) override { Say("OnTargetDestroy " + Name(t)); }
  void OnTargetDestroyAll() override { Say("OnTargetDestroyAll"); }
  void OnTargetChanged(SmartPtr<ar::ARTarget>& t) override { Say("OnTargetChanged " + Name(t)); }
  void OnShowTargets(bool shown) override {
    Say(std::string("OnShowTargets ") + (shown ? "true" : "false"));
  }
  void OnTargetMoved(SmartPtr<ar::ARTarget>& t) override {
    const dg::DPoint3D c = t->GetPosition();
    Say("OnTargetMoved " + Name(t) + " to " + VectorText({c.x, c.y, c.z}));
  }
  void OnShowTargetForScene(SmartPtr<ar::ARTarget>& t, SmartPtr<orl::ShapeScene>&) override {
    Say("OnShowTargetForScene " + (t ? Name(t) : std::string("(none)")) + " in the hall scene");
  }

 private:
  ~NarratingObserver() override = default;
  static std::string Name(const SmartPtr<ar::ARTarget>& t) {
    return "\"" + t->GetName().str() + "\"";
  }
  static void Say(const std::string& text) { std::cout << "  observer: " << text << "\n"; }
};

// An event that reports its completion when the loop delivers it.
class NarratedEvent final : public orl::AsyncEvent {
 public:
  explicit NarratedEvent(std::string what) : what_(std::move(what)) {}

 private:
  ~NarratedEvent() override = default;
  void OnComplete(EventStatus status) override {
    std::cout << "  " << what_ << (status == kSuccess ? " completed" : " failed") << "\n";
  }
  std::string what_;
};

void Host(const std::string& text) { std::cout << "host: " << text << "\n"; }

SmartPtr<orl::AnnoSetTable> TableWithTargetsSet(const std::string& folder) {
  auto table = orl::AnnoSetTable::Create(du::Symbol(folder));
  table->CreateAnnotationSet(
      orl::AnnoSetTableEntry::Make(du::Symbol("ARTargets"), du::Symbol("augmentedreality"),
                                   orl::ANNO_SET_CONTENT_AR),
      nullptr);
  return table;
}

SmartPtr<orl::AnnoSetTableEntry> SceneEntry(const char* name) {
  return orl::AnnoSetTableEntry::Make(du::Symbol(name), du::Symbol::EMPTY,
                                      orl::ANNO_SET_CONTENT_NONE);
}

int Session(const std::string& folder) {
  std::string error;
  if (!SaveTargetFile(folder + "/ARTargets.xml", SampleTargets(), error)) {
    std::cerr << "artargets: " << error << "\n";
    return 1;
  }
  Host("wrote a sample target file of 3 targets, ARTargets.xml, into a temporary folder");
  auto controller = du::DynamicCast<ar::ARController>(
      orlloader::Loader::GetLoader()->CreateComponent("world", "augmentedreality", "controller"));
  if (!controller) {
    std::cerr << "artargets: the plug-in gave no controller\n";
    return 1;
  }
  auto world = orl::World::GetWorld();
  world->SetAnnoSetTable(TableWithTargetsSet(folder));
  SmartPtr<NarratingObserver> observer = new NarratingObserver;
  controller->RegisterObserver(*observer, false);
  Host("the world has an \"ARTargets\" annotation set; an observer is registered");

  auto hall = orl::ShapeScene::Create();
  hall->SetAnnotationSetTableEntry(SceneEntry("Front door"));
  world->AddScene(hall.get());
  Host("added the hall scene, whose annotation set is named \"Front door\"");
  arhost::RunUntilIdle();

  SmartPtr<NarratedEvent> show = new NarratedEvent("ShowTargets");
  controller->ShowTargets(show.get());
  Host("asked to show the targets");
  arhost::RunUntilIdle();

  auto window = controller->FindTarget(du::Symbol("Kitchen window"));
  dg::DPoint3D centre{4.5, 0, 1.4};
  dg::DVec3 normal = window->GetNormal(), x = window->GetX(), y = window->GetY();
  du::Symbol shape = window->GetIDPath();
  window->SetLocation(centre, normal, x, y, shape, window->GetRotation());
  Host("moved \"Kitchen window\" half a unit along x");
  arhost::RunUntilIdle();

  controller->HideTargets();
  Host("hid the targets");
  arhost::RunUntilIdle();

  SmartPtr<NarratedEvent> save = new NarratedEvent("SaveTargets");
  controller->SaveTargets(save.get());
  Host("saved the targets to ARTargets.xml");
  arhost::RunUntilIdle();

  world->RemoveScene(hall.get());
  world->ResetWorld();
  world->SetAnnoSetTable(TableWithTargetsSet(folder));
  Host("reset the world for a fresh start, reading the same folder");
  arhost::RunUntilIdle();
  SmartPtr<NarratedEvent> again = new NarratedEvent("ShowTargets");
  controller->ShowTargets(again.get());
  Host("asked to show the targets of the fresh world");
  arhost::RunUntilIdle();

  std::vector<SmartPtr<ar::ARTarget>> targets;
  controller->GetTargets(targets);
  std::vector<TargetRecord> records;
  for (const auto& t : targets) records.push_back(RecordOf(*t));
  SortByNameThenId(records);
  Host("the targets came back from the saved file:");
  for (const auto& r : records)
    std::cout << "  " << Quoted(r.name) << " at " << VectorText(r.center) << "\n";
  controller->DeregisterObserver(*observer);
  return 0;
}

}  // namespace

int Demo() {
  const ScratchFolder folder("demo");
  if (folder.Path().empty()) {
    std::cerr << "artargets: cannot make a temporary folder\n";
    return 1;
  }
  return Session(folder.Path());
}

}  // namespace artargets
