#include "ar/ARController.h"

#include "ARSceneObserver.h"
#include "ARWorldObserver.h"
#include "ControllerEvents.h"
#include "SceneMap.h"
#include "ar/ARContent.h"
#include "ar/ARTarget.h"
#include "dom/ShutdownMessage.h"
#include "dp/ScopedLock.h"
#include "orl/Annotation.h"
#include "orl/World.h"

namespace ar {

// At host shutdown: lets go of the instance pointer, so the controller ends with its last
// other holder and a later Get() starts afresh.
class ARController::ARShutdownMessage final : public dom::ShutdownMessage {
 public:
  void OnShutdown() override { s_instance = nullptr; }
};

const unsigned char ARController::RESET_EVENT;
const unsigned char ARController::TARGET_CREATE_EVENT;
const unsigned char ARController::TARGET_DESTROY_EVENT;
const unsigned char ARController::TARGET_DESTROY_ALL_EVENT;
const unsigned char ARController::TARGET_CHANGED_EVENT;
const unsigned char ARController::SHOW_TARGETS_EVENT;
const unsigned char ARController::TARGET_MOVED_EVENT;
const unsigned char ARController::SHOW_TARGET_FOR_SCENE_EVENT;

ARController* ARController::Get() {
  if (s_instance) return s_instance.get();
  s_instance = new ARController;  // the pool gives null when it is exhausted
  dom::ManagedObject::AddShutdownMessage(du::SmartPtr<dom::ShutdownMessage>(new ARShutdownMessage));
  return s_instance.get();
}

unsigned char ARController::GetBaseEventId() { return orl::Observable::GetNextEventId(); }

ARController::ARController()
    : orl::Observable(orl::Annotation::GetRWLock()), scenes_(std::make_unique<SceneMap>()) {
  const du::SmartPtr<orl::World> world = orl::World::GetWorld();  // kept to the end
  worldObserver_ = new ARWorldObserver;
  worldObserver_->Init(this);
}

ARController::~ARController() { _OnDestroy(); }

const orl::ClassType& ARController::GetClassType() const { return CLASS_TYPE; }

void ARController::_OnDestroy() {
  if (worldObserver_) worldObserver_->Detach();
  if (!scenes_) return;
  for (const auto& observer : scenes_->TakeObservers()) observer->OnDestroy();
}

void ARController::AddTarget(const du::SmartPtr<ARTarget>& target) {
  if (!target) return;  // an empty entry could never be found or read
  dp::ScopedWriter guard(GetRWLock());
  if (!targets_.insert(target).second) return;
  PostTargetEvent(TARGET_CREATE_EVENT, target);
}

void ARController::RemoveTarget(const du::SmartPtr<ARTarget>& target) {
  const du::SmartPtr<ARTarget> removed = target;  // `target` may be the registry's own entry
  dp::ScopedWriter guard(GetRWLock());
  if (targets_.erase(removed) == 0) return;
  PostTargetEvent(TARGET_DESTROY_EVENT, removed);
}

void ARController::RemoveAllTargets() {
  dp::ScopedWriter guard(GetRWLock());
  if (targets_.empty()) return;
  targets_.clear();
  PostSimpleEvent(TARGET_DESTROY_ALL_EVENT);
}

du::SmartPtr<ARTarget> ARController::FindTarget(const du::Symbol& name) const {
  dp::ScopedReader guard(GetRWLock());
  for (const auto& target : targets_)
    if (target->GetName() == name) return target;
  return nullptr;
}

du::SmartPtr<ARTarget> ARController::FindTarget(int id) const {
  dp::ScopedReader guard(GetRWLock());
  for (const auto& target : targets_)
    if (target->GetType() == ARTarget::TYPE_NUMBERED && target->GetTargetId() == id) return target;
  return nullptr;
}

void ARController::GetTargets(std::vector<du::SmartPtr<ARTarget>>& out) const {
  dp::ScopedReader guard(GetRWLock());
  out.assign(targets_.begin(), targets_.end());
}

void ARController::SignalTargetMoved(du::SmartPtr<ARTarget>& target) {
  PostTargetEvent(TARGET_MOVED_EVENT, target);
}

bool ARController::GetShowTargets() const { return shown_.load(std::memory_order_relaxed); }

void ARController::InitAR() {
  dp::ScopedWriter guard(GetRWLock());
  if (shown_.exchange(false)) PostBoolEvent(SHOW_TARGETS_EVENT, false);
  if (loadedContent_) {
    loadedContent_ = nullptr;
    targets_.clear();
    PostSimpleEvent(RESET_EVENT);
  }
}

void ARController::PostTargetEvent(unsigned char offset, const du::SmartPtr<ARTarget>& target) {
  PostObservableEvent(events::ARTargetEvent(GetBaseEventId() + offset, target), false);
}

void ARController::PostSimpleEvent(unsigned char offset) {
  PostObservableEvent(events::ARSimpleEvent(GetBaseEventId() + offset), false);
}

void ARController::PostBoolEvent(unsigned char offset, bool value) {
  PostObservableEvent(events::ARBoolEvent(GetBaseEventId() + offset, value), false);
}

}  // namespace ar
