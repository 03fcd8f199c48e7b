#include "ARTargetsSet.h"

#include "orl/World.h"

namespace ar::sets {

du::SmartPtr<orl::AnnoSetTable> WorldAnnoSetTable() {
  const du::SmartPtr<orl::World> world = orl::World::GetWorld();
  return world ? world->GetAnnoSetTable() : nullptr;
}

du::SmartPtr<orl::AnnoSetTableEntry> FindARTargetsEntry(
    const du::SmartPtr<orl::AnnoSetTable>& table) {
  du::SmartPtr<orl::AnnoSetTableEntry> entry;
  table->GetAnnotationEntry(du::Symbol("ARTargets"), orl::ANNO_SET_CONTENT_AR, entry);
  return entry;
}

void KeepLoadedContent(const du::SmartPtr<orl::AnnoSetTableEntry>& entry,
                       const du::SmartPtr<orl::AnnoTableEntryContent>& content) {
  if (entry && content && entry->GetContent() != content) entry->SetContent(content);
}

}  // namespace ar::sets
