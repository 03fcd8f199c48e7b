// ar::ARWorldObserver: the controller's ear on the host world. It hands scene arrivals and
// departures to the controller and resets the controller when the world is initialised or
// reset. Once the controller has detached it (controller field null), it ignores everything.
// Thread rules: notifications run on the message loop's thread; the controller field may be
// cleared from any thread.
#pragma once

#include <atomic>

#include "orl/WorldObserver.h"

namespace ar {

class ARController;

class ARWorldObserver final : public orl::WorldObserver {
 public:
  ARWorldObserver() = default;

  // Puts the observer under the loader's message loop and registers it with the world.
  void Init(ARController* controller);
  // Deregisters from the world and forgets the controller; later notifications do nothing.
  void Detach();

  void OnWorldInit() override;
  void OnSceneAdded(const du::SmartPtr<orl::Scene>& scene) override;
  void OnSceneRemoved(const du::SmartPtr<orl::Scene>& scene) override;
  void OnWorldReset() override;

 private:
  ~ARWorldObserver() override = default;
  void ResetController();

  std::atomic<ARController*> controller_{nullptr};  // not owning
};

}  // namespace ar
