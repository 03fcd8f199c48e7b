#include "LoadAnnoSetEvent.h"

#include <utility>

namespace ar {

LoadAnnoSetEvent::LoadAnnoSetEvent(du::SmartPtr<ARController> controller,
                                   const du::SmartPtr<orl::ShapeScene>& scene,
                                   const du::SmartPtr<orl::AsyncEvent>& callerEvent)
    : orl::AsyncEvent(true),
      controller_(std::move(controller)),
      scene_(scene),
      callerEvent_(callerEvent) {}

void LoadAnnoSetEvent::OnComplete(EventStatus status) {
  if (status == kSuccess) {
    controller_->OnLoadComplete(scene_, callerEvent_);
    return;
  }
  if (callerEvent_) callerEvent_->CompleteWithError(du::Symbol::EMPTY, 1);
}

}  // namespace ar
