// How the application shows, hides and saves the targets.
#include <system_error>

#include "ARTargetsSet.h"
#include "LoadAnnoSetEvent.h"
#include "ar/ARContent.h"
#include "ar/ARController.h"
#include "dp/ScopedLock.h"
#include "orlloader/Loader.h"

namespace ar {

void ARController::ShowTargets(orl::AsyncEvent* event) {
  dp::ScopedWriter guard(GetRWLock());
  if (shown_) return sets::CompleteEvent(event);
  if (loadedContent_) return _ShowTargetsAfterLoad(event);
  const du::SmartPtr<orl::AnnoSetTable> table = sets::WorldAnnoSetTable();
  if (!table) return sets::FailEvent(event);
  if (sets::FindARTargetsEntry(table))
    _LoadARContent(nullptr, event);  // the load's completion shows the targets
  else
    CreateARTargetsSet(table, event);
}

void ARController::CreateARTargetsSet(const du::SmartPtr<orl::AnnoSetTable>& table,
                                      orl::AsyncEvent* event) {
  const du::SmartPtr<ARContent> content = new ARContent;
  orl::AnnoSetTableEntryData data;
  du::SmartPtr<orl::AnnoSetTableEntry> entry;
  if (content && content->GetAnnoSetTableEntryData(data))
    orl::AnnoSetTableEntry::Create(entry, data);
  if (!entry) return sets::FailEvent(event);  // the host could not make the set
  entry->SetContent(content.get());
  entry->needsSave = true;  // the set exists only in memory until it is saved
  const du::SmartPtr<LoadAnnoSetEvent> load = new LoadAnnoSetEvent(this, nullptr, event);
  orlloader::Loader::GetLoader()->ManageObject(load.get());
  table->CreateAnnotationSet(entry, load.get());
}

void ARController::HideTargets() {
  dp::ScopedWriter guard(GetRWLock());
  if (!shown_.exchange(false)) return;
  PostBoolEvent(SHOW_TARGETS_EVENT, false);
}

void ARController::SaveTargets(orl::AsyncEvent* event) {
  // Saving holds the lock shared and takes it exclusively inside (SetTargets). When another
  // thread does the same at once, the lock refuses the second upgrade instead of deadlocking;
  // that caller lets go of the lock and starts over, as nothing has been changed yet.
  for (;;) {
    try {
      dp::ScopedReader guard(GetRWLock());
      if (!loadedContent_) return sets::FailEvent(event);
      loadedContent_->SetTargets(targets_);
      const du::SmartPtr<orl::AnnoSetTable> table = sets::WorldAnnoSetTable();
      if (!table) return sets::FailEvent(event);
      const du::SmartPtr<orlloader::Loader> loader = orlloader::Loader::GetLoader();
      const du::SmartPtr<orl::AnnoSetTableEntry> entry = sets::FindARTargetsEntry(table);
      if (!entry) return sets::FailEvent(event);
      sets::KeepLoadedContent(entry, loadedContent_);
      loader->SaveAnnotation(table, entry, event);
      return;
    } catch (const std::system_error& error) {
      if (error.code() != std::errc::resource_deadlock_would_occur) throw;
    }
  }
}

}  // namespace ar
