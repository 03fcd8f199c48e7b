// orl::Scene and orl::ShapeScene: the views the host shows of the world. A scene is an
// observable on the shared annotation lock; a shape scene shows shapes of the model, and
// observers may register with it directly.
// Thread rules: any thread.
#pragma once

#include "ArHostExport.h"
#include "du/Flags.h"
#include "du/SmartPtr.h"
#include "orl/Observable.h"

namespace orl {

class ARHOST_API Scene : public Observable {
 protected:
  Scene();
  ~Scene() override = default;
  void _OnDestroy() override {}
};

class ARHOST_API ShapeScene : public Scene {
 public:
  // A new shape scene, not yet part of any world.
  static du::SmartPtr<ShapeScene> Create();

  // Registers `observer`; `flags` and `init` are accepted for the host's interface and do not
  // change the registration. False when already registered.
  bool RegisterObserver(dom::Observer& observer, const du::Flags& flags, bool init);
  bool UnregisterObserver(dom::Observer& observer);

 protected:
  ShapeScene() = default;
  ~ShapeScene() override = default;
};

}  // namespace orl
