// A small host of the AR targets plug-in: it loads the plug-in by path, gives the world an
// annotation-set table in a scratch folder and a scene, shows the targets (there are none yet,
// so an empty set is made), adds and moves two, saves them, then starts the world afresh on the
// same folder and shows what comes back from the file. Every notification is printed as the
// message loop delivers it.
#include <stdlib.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "ar/ARController.h"
#include "ar/ARControllerObserver.h"
#include "ar/ARTarget.h"
#include "ar/Version.h"
#include "arhost/Host.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"
#include "orl/Scene.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace {

using du::SmartPtr;

class PrintingObserver final : public ar::ARControllerObserver {
 public:
  void OnDestroy() override {}
  void OnTargetCreate(SmartPtr<ar::ARTarget>& t) override { Say("created", t); }
  void OnTargetMoved(SmartPtr<ar::ARTarget>& t) override { Say("moved", t); }
  void OnShowTargets(bool shown) override { std::cout << "  shown: " << shown << "\n"; }
  void OnShowTargetForScene(SmartPtr<ar::ARTarget>& t, SmartPtr<orl::ShapeScene>&) override {
    Say("for the scene", t);
  }

 private:
  ~PrintingObserver() override = default;
  static void Say(const char* what, const SmartPtr<ar::ARTarget>& t) {
    const dg::DPoint3D p = t ? t->GetPosition() : dg::DPoint3D{};
    std::cout << "  " << what << ": " << (t ? t->GetName().str() : "(none)") << " at " << p.x
              << ", " << p.y << ", " << p.z << "\n";
  }
};

// Waits for the loop to deliver everything, then says whether `event` succeeded.
bool Finish(const SmartPtr<orl::AsyncEvent>& event) {
  arhost::RunUntilIdle();
  return event->GetStatus() == orl::BaseAsyncEvent::kSuccess;
}

// Gives the world a table on `folder`; with `targetsSet`, one that lists the "ARTargets" set, whose
// file ARTargets.xml is read when targets are first needed.
void Table(const std::string& folder, bool targetsSet) {
  auto table = orl::AnnoSetTable::Create(du::Symbol(folder));
  if (targetsSet)
    table->CreateAnnotationSet(
        orl::AnnoSetTableEntry::Make(du::Symbol("ARTargets"), du::Symbol("augmentedreality"),
                                     orl::ANNO_SET_CONTENT_AR),
        nullptr);
  orl::World::GetWorld()->SetAnnoSetTable(table);
}

SmartPtr<ar::ARTarget> Target(ar::ARController* controller, const char* name, double x) {
  SmartPtr<ar::ARTarget> target = new ar::ARTarget(controller);
  target->SetName(du::Symbol(name));
  target->SetSize(0.8, 2.0);
  dg::DPoint3D centre{x, 0, 1};
  dg::DVec3 normal{0, -1, 0}, right{1, 0, 0}, up{0, 0, 1};
  du::Symbol shape("/house/front");
  target->SetLocation(centre, normal, right, up, shape, 0);
  return target;
}

int Run(const std::string& plugin, const std::string& folder) {
  std::string error;
  if (!orlloader::Loader::GetLoader()->LoadPlugin(plugin, &error)) {
    std::cerr << "cannot load " << plugin << ": " << error << "\n";
    return 1;
  }
  auto controller = du::DynamicCast<ar::ARController>(
      orlloader::Loader::GetLoader()->CreateComponent("world", "augmentedreality", "controller"));
  SmartPtr<PrintingObserver> observer = new PrintingObserver;
  controller->RegisterObserver(*observer, false);
  auto world = orl::World::GetWorld();
  Table(folder, false);  // no set yet: showing makes an empty one

  auto scene = orl::ShapeScene::Create();
  scene->SetAnnotationSetTableEntry(orl::AnnoSetTableEntry::Make(
      du::Symbol("Door"), du::Symbol::EMPTY, orl::ANNO_SET_CONTENT_NONE));
  world->AddScene(scene.get());
  std::cout << "show (no target file yet):\n";
  SmartPtr<orl::AsyncEvent> show = new orl::AsyncEvent(false);
  controller->ShowTargets(show.get());
  if (!Finish(show)) return 1;

  std::cout << "add Door and Window, move Door, save:\n";
  controller->AddTarget(Target(controller.get(), "Door", 1.5));
  controller->AddTarget(Target(controller.get(), "Window", 4));
  auto door = controller->FindTarget(du::Symbol("Door"));
  dg::DPoint3D centre{2, 0, 1};
  dg::DVec3 normal = door->GetNormal(), x = door->GetX(), y = door->GetY();
  du::Symbol shape = door->GetIDPath();
  door->SetLocation(centre, normal, x, y, shape, 0);
  SmartPtr<orl::AsyncEvent> save = new orl::AsyncEvent(false);
  controller->SaveTargets(save.get());
  if (!Finish(save)) return 1;

  std::cout << "a fresh world on the same folder, show again:\n";
  world->ResetWorld();
  arhost::RunUntilIdle();  // the controller hears the reset and lets go of what it had
  Table(folder, true);
  SmartPtr<orl::AsyncEvent> again = new orl::AsyncEvent(false);
  controller->ShowTargets(again.get());
  if (!Finish(again)) return 1;
  std::vector<SmartPtr<ar::ARTarget>> targets;
  controller->GetTargets(targets);
  std::cout << targets.size() << " targets came back from " << folder << "/ARTargets.xml\n";
  return targets.size() == 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::cout << "example host on the AR targets plug-in " << AR_VERSION_STRING << "\n";
  char pattern[] = "/tmp/example-host-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const int status = Run(argc > 1 ? argv[1] : PLUGIN_PATH, pattern);
  arhost::Shutdown();
  std::filesystem::remove_all(pattern);
  return status;
}
