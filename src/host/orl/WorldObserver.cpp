#include "orl/WorldObserver.h"

#include <stdexcept>

#include "dom/MessageReader.h"
#include "orl/Scene.h"
#include "orl/World.h"

namespace orl {

namespace {

du::SmartPtr<Scene> ReadScene(dom::MessageReader& reader) {
  du::SmartPtr<Scene> scene;
  if (!reader.GetSmartPtr(scene)) throw std::runtime_error("World notification without its scene.");
  return scene;
}

}  // namespace

void WorldObserver::OnSceneAdded(const du::SmartPtr<Scene>&) {}
void WorldObserver::OnSceneRemoved(const du::SmartPtr<Scene>&) {}

void WorldObserver::HandleEvent(unsigned char tag, dom::MessageReader& reader) {
  switch (tag) {
    case World::kWorldInitEvent:
      return OnWorldInit();
    case World::kSceneAddedEvent:
      return OnSceneAdded(ReadScene(reader));
    case World::kSceneRemovedEvent:
      return OnSceneRemoved(ReadScene(reader));
    case World::kWorldResetEvent:
      return OnWorldReset();
    default:
      return Observer::HandleEvent(tag, reader);
  }
}

}  // namespace orl
