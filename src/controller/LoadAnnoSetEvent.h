// ar::LoadAnnoSetEvent: the completion of one load of the world's "ARTargets" set, started by
// the controller for a scene or for a show. It keeps the controller, the scene and the caller's
// event alive until the load is done. On success it lets the controller finish the load; on
// failure or cancellation it fails the caller's event with code 1 and leaves the controller
// alone, so the next trigger loads again.
// Thread rules: completed from any thread; OnComplete runs on the message loop's thread.
#pragma once

#include "ar/ARController.h"
#include "du/SmartPtr.h"
#include "orl/AsyncEvent.h"
#include "orl/Scene.h"

namespace ar {

class LoadAnnoSetEvent final : public orl::AsyncEvent {
 public:
  // `scene` is empty for a load no scene asked for; `callerEvent` empty when nobody waits.
  LoadAnnoSetEvent(du::SmartPtr<ARController> controller,
                   const du::SmartPtr<orl::ShapeScene>& scene,
                   const du::SmartPtr<orl::AsyncEvent>& callerEvent);

 private:
  ~LoadAnnoSetEvent() override = default;
  void OnComplete(EventStatus status) override;

  du::SmartPtr<ARController> controller_;
  du::SmartPtr<orl::ShapeScene> scene_;
  du::SmartPtr<orl::AsyncEvent> callerEvent_;
};

}  // namespace ar
