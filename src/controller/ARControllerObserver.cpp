#include "ar/ARControllerObserver.h"

#include <stdexcept>
#include <string>

#include "ar/ARController.h"
#include "ar/ARTarget.h"
#include "dom/MessageReader.h"
#include "orl/Scene.h"

namespace ar {

namespace {

// The pointer the record carries, with its reference; a null pointer gives an empty holder.
template <class T>
du::SmartPtr<T> ReadCounted(dom::MessageReader& reader, const char* missingMessage) {
  du::SmartPtr<T> pointer;
  if (!reader.GetSmartPtr(pointer)) throw std::runtime_error(missingMessage);
  return pointer;
}

}  // namespace

ARControllerObserver::ARControllerObserver() = default;
ARControllerObserver::~ARControllerObserver() = default;

void ARControllerObserver::OnBeginUpdate() {}
void ARControllerObserver::OnEndUpdate() {}
void ARControllerObserver::OnReset() {}
void ARControllerObserver::OnTargetCreate(du::SmartPtr<ARTarget>&) {}
void ARControllerObserver::OnTargetDestroy(du::SmartPtr<ARTarget>&) {}
void ARControllerObserver::OnTargetDestroyAll() {}
void ARControllerObserver::OnTargetChanged(du::SmartPtr<ARTarget>&) {}
void ARControllerObserver::OnShowTargets(bool) {}
void ARControllerObserver::OnTargetMoved(du::SmartPtr<ARTarget>&) {}
void ARControllerObserver::OnShowTargetForScene(du::SmartPtr<ARTarget>&,
                                                du::SmartPtr<orl::ShapeScene>&) {}

void ARControllerObserver::HandleEvent(unsigned char tag, dom::MessageReader& reader) {
  const unsigned char base = orl::Observable::GetNextEventId();
  if (tag < base) {
    orl::Observer::HandleEvent(tag, reader);
    return;
  }
  switch (tag - base) {
    case ARController::RESET_EVENT:
      return OnReset();
    case ARController::TARGET_CREATE_EVENT: {
      auto target = ReadCounted<ARTarget>(
          reader, "Could not retrieve Target pointer from TargetCreateEvent.");
      return OnTargetCreate(target);
    }
    case ARController::TARGET_DESTROY_EVENT: {
      auto target = ReadCounted<ARTarget>(
          reader, "Could not retrieve Target pointer from TargetDestroyEvent.");
      return OnTargetDestroy(target);
    }
    case ARController::TARGET_DESTROY_ALL_EVENT:
      return OnTargetDestroyAll();
    case ARController::TARGET_CHANGED_EVENT: {
      auto target = ReadCounted<ARTarget>(
          reader, "Could not retrieve Target pointer from TargetChangedEvent.");
      return OnTargetChanged(target);
    }
    case ARController::SHOW_TARGETS_EVENT: {
      bool shown = false;
      if (!reader.GetBooleanValue(shown))
        throw std::runtime_error("Could not retrieve bShow from ShowTargetsEvent.");
      return OnShowTargets(shown);
    }
    case ARController::TARGET_MOVED_EVENT: {
      auto target =
          ReadCounted<ARTarget>(reader, "Could not retrieve Target pointer from TargetMovedEvent.");
      return OnTargetMoved(target);
    }
    case ARController::SHOW_TARGET_FOR_SCENE_EVENT: {
      auto target = ReadCounted<ARTarget>(
          reader, "Could not retrieve Target pointer from ShowTargetForSceneEvent.");
      auto scene = ReadCounted<orl::ShapeScene>(
          reader, "Could not retrieve Scene pointer from ShowTargetForSceneEvent.");
      return OnShowTargetForScene(target, scene);
    }
    default:
      throw std::runtime_error("Unrecognised ARController Observer tag <" + std::to_string(tag) +
                               ">.");
  }
}

}  // namespace ar
