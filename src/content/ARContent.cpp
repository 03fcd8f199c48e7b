#include "ar/ARContent.h"

#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "dp/ScopedLock.h"
#include "orl/World.h"

namespace ar {

du::SmartPtr<orl::ReadWriteLock> ARContent::ControllerLock() {
  const ARController* controller = ARController::Get();
  return controller ? controller->GetRWLock() : nullptr;
}

ARContent::ARContent() : orl::AnnoTableEntryContent(ControllerLock()) {}

ARContent::~ARContent() = default;

const orl::ClassType& ARContent::GetClassType() const { return CLASS_TYPE; }

orl::AnnoSetContentType ARContent::GetType() const { return orl::ANNO_SET_CONTENT_AR; }

bool ARContent::GetAnnoSetTableEntryData(orl::AnnoSetTableEntryData& data) const {
  du::Symbol modelId;
  du::SmartPtr<orl::Instance> root;
  if (du::SmartPtr<orl::World> world = orl::World::GetWorld()) {
    if (du::SmartPtr<orl::Tree> tree = world->GetTree()) root = tree->GetRoot();
  }
  if (root) root->GetUniqueId(modelId);  // a world without a root gives an empty model id
  data.version = 0;
  data.modelId = modelId;
  data.family = du::Symbol("augmentedreality");
  data.familyTitle = du::Symbol("Augmentedreality");
  data.name = du::Symbol("ARTargets");
  data.fileName = du::Symbol::EMPTY;
  data.contentType = GetType();
  return true;
}

void ARContent::GetTargets(std::set<du::SmartPtr<ARTarget>>& targets) const {
  dp::ScopedReader guard(GetRWLock());
  if (&targets != &targets_) targets = targets_;
}

void ARContent::SetTargets(const std::set<du::SmartPtr<ARTarget>>& targets) {
  dp::ScopedWriter guard(GetRWLock());
  if (&targets != &targets_) targets_ = targets;
}

void ARContent::_OnDestroy() {}

}  // namespace ar
