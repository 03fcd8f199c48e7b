#include "orl/SceneObserver.h"

#include <stdexcept>

#include "dom/MessageReader.h"
#include "orl/AnnoSetTable.h"
#include "orl/Scene.h"

namespace orl {

void SceneObserver::OnAnnoSetTableEntryChanged(const du::SmartPtr<AnnoSetTableEntry>&) {}

void SceneObserver::HandleEvent(unsigned char tag, dom::MessageReader& reader) {
  if (tag != Scene::kAnnoSetTableEntryChangedEvent) return Observer::HandleEvent(tag, reader);
  du::SmartPtr<AnnoSetTableEntry> entry;
  if (!reader.GetSmartPtr(entry))
    throw std::runtime_error("Scene notification without its annotation-set entry.");
  OnAnnoSetTableEntryChanged(entry);
}

}  // namespace orl
