// The world's AR annotation set, as the controller finds it: the entry named "ARTargets" with
// content type 14 in the world's annotation-set table, and how the controller answers the
// caller's event of a show, load or save (failures carry no message and the code 1).
#pragma once

#include "du/SmartPtr.h"
#include "du/Symbol.h"
#include "orl/AnnoSetTable.h"
#include "orl/AsyncEvent.h"

namespace ar::sets {

// The world's annotation-set table; empty when the world has none.
du::SmartPtr<orl::AnnoSetTable> WorldAnnoSetTable();
// The "ARTargets" entry of content type 14 in `table`; empty when there is none.
du::SmartPtr<orl::AnnoSetTableEntry> FindARTargetsEntry(
    const du::SmartPtr<orl::AnnoSetTable>& table);

// Makes `content` the entry's content again when something else took its place. A second load
// of the set reads the file into a new content while the controller keeps the one it loaded
// first, whose targets are the registry the observers were told of; the registry wins, so that
// a save writes what the user sees.
void KeepLoadedContent(const du::SmartPtr<orl::AnnoSetTableEntry>& entry,
                       const du::SmartPtr<orl::AnnoTableEntryContent>& content);

inline void CompleteEvent(orl::AsyncEvent* event) {
  if (event) event->Complete();
}

inline void FailEvent(orl::AsyncEvent* event) {
  if (event) event->CompleteWithError(du::Symbol::EMPTY, 1);
}

}  // namespace ar::sets
