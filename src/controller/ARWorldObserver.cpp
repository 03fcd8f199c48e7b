#include "ARWorldObserver.h"

#include "ar/ARController.h"
#include "orl/World.h"
#include "orlloader/Loader.h"

namespace ar {

void ARWorldObserver::Init(ARController* controller) {
  controller_ = controller;
  orlloader::Loader::GetLoader()->ManageObject(du::SmartPtr<dom::ManagedObject>(this));
  orl::World::GetWorld()->RegisterObserver(du::SmartPtr<orl::WorldObserver>(this), false);
}

void ARWorldObserver::Detach() {
  if (!controller_.load()) return;
  if (du::SmartPtr<orl::World> world = orl::World::GetWorld())
    world->DeregisterObserver(du::SmartPtr<orl::WorldObserver>(this));
  controller_ = nullptr;
}

void ARWorldObserver::OnWorldInit() { ResetController(); }
void ARWorldObserver::OnWorldReset() { ResetController(); }

void ARWorldObserver::ResetController() {
  if (ARController* controller = controller_.load()) controller->InitAR();
}

void ARWorldObserver::OnSceneAdded(const du::SmartPtr<orl::Scene>& scene) {
  if (ARController* controller = controller_.load()) controller->OnSceneAdded(scene);
}

void ARWorldObserver::OnSceneRemoved(const du::SmartPtr<orl::Scene>& scene) {
  if (ARController* controller = controller_.load()) controller->OnSceneRemoved(scene);
}

}  // namespace ar
