// orl::WorldObserver: an observer of the host world (orl::World::RegisterObserver). Through the
// message loop it hears, in the order the world posts them:
//   OnWorldInit    the world was initialised (a model was opened into it);
//   OnSceneAdded   a scene joined the world;
//   OnSceneRemoved a scene left the world (it may still live on elsewhere);
//   OnWorldReset   the world was emptied for a new model;
//   OnDestroy      the world ended (host shutdown).
// Every notification does nothing unless overridden. This host's world posts no others.
// Thread rules: notifications run on the thread that runs the message loop.
#pragma once

#include "ArHostExport.h"
#include "du/SmartPtr.h"
#include "orl/Observer.h"

namespace orl {

class Scene;

class ARHOST_API WorldObserver : public Observer {
 public:
  void OnDestroy() override {}
  virtual void OnWorldInit() {}
  virtual void OnSceneAdded(const du::SmartPtr<Scene>& scene);
  virtual void OnSceneRemoved(const du::SmartPtr<Scene>& scene);
  virtual void OnWorldReset() {}

 protected:
  WorldObserver() = default;
  ~WorldObserver() override = default;

  // Decodes the world's tags; hands the host's own tags to Observer::HandleEvent. Throws
  // std::runtime_error for a scene notification without its scene.
  void HandleEvent(unsigned char tag, dom::MessageReader& reader) override;
};

}  // namespace orl
