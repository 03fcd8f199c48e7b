#include "orl/AnnoSetTable.h"

#include "orl/AsyncEvent.h"

namespace orl {

bool AnnoSetTableEntry::Create(du::SmartPtr<AnnoSetTableEntry>& out,
                               const AnnoSetTableEntryData& data) {
  if (data.name.empty()) return false;
  du::SmartPtr<AnnoSetTableEntry> entry = new AnnoSetTableEntry(data);
  if (!entry) return false;
  out = entry;
  return true;
}

du::SmartPtr<AnnoSetTableEntry> AnnoSetTableEntry::Make(const du::Symbol& name,
                                                        const du::Symbol& family,
                                                        AnnoSetContentType type,
                                                        const du::Symbol& fileName) {
  AnnoSetTableEntryData data;
  data.name = name;
  data.family = family;
  data.contentType = type;
  data.fileName = fileName;
  du::SmartPtr<AnnoSetTableEntry> entry;
  Create(entry, data);
  return entry;
}

du::SmartPtr<AnnoTableEntryContent> AnnoSetTableEntry::GetContent() const {
  std::lock_guard lock(mutex_);
  return content_;
}

void AnnoSetTableEntry::SetContent(const du::SmartPtr<AnnoTableEntryContent>& content) {
  du::SmartPtr<AnnoTableEntryContent> previous;  // released after the guard
  std::lock_guard lock(mutex_);
  previous = std::move(content_);
  content_ = content;
}

du::SmartPtr<AnnoSetTable> AnnoSetTable::Create(const du::Symbol& directory) {
  return du::SmartPtr<AnnoSetTable>(new AnnoSetTable(directory));
}

bool AnnoSetTable::GetAnnotationEntry(const du::Symbol& name, AnnoSetContentType type,
                                      du::SmartPtr<AnnoSetTableEntry>& out) const {
  std::lock_guard lock(mutex_);
  for (const auto& entry : entries_) {
    if (entry->GetName() == name && entry->GetContentType() == type) {
      out = entry;
      return true;
    }
  }
  out = nullptr;
  return false;
}

bool AnnoSetTable::CreateAnnotationSet(const du::SmartPtr<AnnoSetTableEntry>& entry,
                                       AsyncEvent* event) {
  bool added = false;
  if (entry) {
    du::SmartPtr<AnnoSetTableEntry> existing;
    if (!GetAnnotationEntry(entry->GetName(), entry->GetContentType(), existing)) {
      std::lock_guard lock(mutex_);
      entries_.push_back(entry);
      added = true;
    }
  }
  if (event) {
    if (added)
      event->Complete();
    else
      event->CompleteWithError(du::Symbol("the table has that annotation set already"), 1);
  }
  return added;
}

}  // namespace orl
